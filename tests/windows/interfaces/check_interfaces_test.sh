#!/usr/bin/env bash
# check_interfaces.sh on altered copies of the platform headers and its list of known
# differences: each case changes one file with sed and requires the check to fail with exactly
# the given lines.
#   check_interfaces_test.sh CLANGXX SOURCE_DIR WORK_DIR
set -euo pipefail
clangxx=$1
source_dir=$2
work=$3
check=$source_dir/tests/windows/interfaces/check_interfaces.sh
sdk_draw="HRESULT IViewObject::Draw(DWORD, LONG, void *, DVTARGETDEVICE *, HDC, HDC, const RECTL *, const RECTL *, BOOL (*)(ULONG_PTR) __stdcall, ULONG_PTR)"

# Four elements a case: its name, the file, the sed script that alters it, and the lines the
# check must print for it, separated by ";;".
cases=(
    "swapped members" platform/ole_inplace.h
    '/virtual HRESULT Freeze(/{h;d};/virtual HRESULT Unfreeze(/G'
    "IViewObject slot 5: ours HRESULT IViewObject::Unfreeze(DWORD) | the SDK's HRESULT IViewObject::Freeze(DWORD, LONG, void *, DWORD *);;IViewObject slot 6: ours HRESULT IViewObject::Freeze(DWORD, LONG, void *, DWORD *) | the SDK's HRESULT IViewObject::Unfreeze(DWORD);;IViewObject2 slot 5: ours HRESULT IViewObject::Unfreeze(DWORD) | the SDK's HRESULT IViewObject::Freeze(DWORD, LONG, void *, DWORD *);;IViewObject2 slot 6: ours HRESULT IViewObject::Freeze(DWORD, LONG, void *, DWORD *) | the SDK's HRESULT IViewObject::Unfreeze(DWORD)"
    "callback without its convention" platform/ole_inplace.h
    's/BOOL(STDMETHODCALLTYPE\* pfnContinue)/BOOL (*pfnContinue)/'
    "IViewObject slot 3: ours ${sdk_draw/ __stdcall/} | the SDK's $sdk_draw;;IViewObject2 slot 3: ours ${sdk_draw/ __stdcall/} | the SDK's $sdk_draw"
    "a parameter's type" platform/com.h
    's/LockServer(BOOL fLock)/LockServer(DWORD fLock)/'
    "IClassFactory slot 4: ours HRESULT IClassFactory::LockServer(DWORD) | the SDK's HRESULT IClassFactory::LockServer(BOOL)"
    "a missing member" platform/com.h
    '/virtual HRESULT EnumConnections(/d'
    "IConnectionPoint slot 7: ours (none) | the SDK's HRESULT IConnectionPoint::EnumConnections(IEnumConnections **)"
    "a member past the SDK's" platform/com.h
    's/virtual HRESULT LockServer(BOOL fLock) = 0;/&\n    virtual HRESULT Extra() = 0;/'
    "IClassFactory slot 5: ours HRESULT IClassFactory::Extra() | the SDK's (none)"
    "a base left out" platform/ole_inplace.h
    's/struct IOleInPlaceObject : IOleWindow {/struct IOleInPlaceObject : IUnknown {/'
    "IOleInPlaceObject slot 3: ours HRESULT IOleInPlaceObject::InPlaceDeactivate() | the SDK's HRESULT IOleWindow::GetWindow(HWND *);;IOleInPlaceObject slot 4: ours HRESULT IOleInPlaceObject::UIDeactivate() | the SDK's HRESULT IOleWindow::ContextSensitiveHelp(BOOL);;IOleInPlaceObject slot 5: ours HRESULT IOleInPlaceObject::SetObjectRects(const RECT *, const RECT *) | the SDK's HRESULT IOleInPlaceObject::InPlaceDeactivate();;IOleInPlaceObject slot 6: ours HRESULT IOleInPlaceObject::ReactivateAndUndo() | the SDK's HRESULT IOleInPlaceObject::UIDeactivate();;IOleInPlaceObject slot 7: ours (none) | the SDK's HRESULT IOleInPlaceObject::SetObjectRects(const RECT *, const RECT *);;IOleInPlaceObject slot 8: ours (none) | the SDK's HRESULT IOleInPlaceObject::ReactivateAndUndo()"
    "an interface not in the list" platform/property_page_window.h
    '$a struct IUnlisted : IUnknown {\n    virtual HRESULT Member() = 0;\n};'
    "IUnlisted: declared in platform/ and not in interface_probe.cpp"
    "a known difference gone" tests/windows/interfaces/known_differences.txt
    "\$a IPersist slot 3: ours X | the SDK's Y"
    "IPersist slot 3: ours X | the SDK's Y"
)

failures=0
for ((i = 0; i < ${#cases[@]}; i += 4)); do
    name=${cases[i]} file=${cases[i + 1]} script=${cases[i + 2]} expected=${cases[i + 3]}
    copy=$work/case
    rm -rf "$copy"
    mkdir -p "$copy/tests/windows"
    cp -r "$source_dir/platform" "$copy/"
    cp -r "$source_dir/tests/windows/interfaces" "$copy/tests/windows/"
    sed -i -e "$script" "$copy/$file"
    if cmp -s "$source_dir/$file" "$copy/$file"; then
        echo "FAIL $name: the sed script changed nothing in $file"
        failures=$((failures + 1))
        continue
    fi
    status=0
    bash "$check" "$clangxx" "$copy" "$work/case-build" >"$work/out" 2>&1 || status=$?
    grep '^  ' "$work/out" | sed 's/^  //' >"$work/printed" || true
    printf '%s\n' "${expected//;;/$'\n'}" >"$work/wanted"
    if ((status != 1)) || ! diff -u "$work/wanted" "$work/printed" >"$work/diff"; then
        echo "FAIL $name (status $status):"
        cat "$work/out" "$work/diff"
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
done
# Without clang the check fails and says why.
if bash "$check" "$work/no-such-clang++" "$source_dir" "$work/case-build" 2>"$work/out" ||
        ! grep -q 'clang++ not found' "$work/out"; then
    echo "FAIL without clang:"
    cat "$work/out"
    failures=$((failures + 1))
else
    echo "ok   without clang"
fi
exit $((failures > 0))
