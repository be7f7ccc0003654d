// Dispatch map lookup and its agreement check with the type information.
#include "platform/afx/dispatch_map.h"

const AFX_DISPMAP_ENTRY* AfxFindDispatchEntry(const AFX_DISPMAP& map, DISPID dispid) {
    for (const AFX_DISPMAP_ENTRY& entry : map.entries) {
        if (entry.dispid == dispid) {
            return &entry;
        }
    }
    return nullptr;
}

std::vector<std::string> AfxCheckDispatchMap(const AFX_DISPMAP& map) {
    std::vector<std::string> problems;
    const DispInterfaceInfo& iface = *map.iface;
    for (const MemberInfo& member : iface.members) {
        const std::string name = std::string(iface.name) + "." + member.name;
        const AFX_DISPMAP_ENTRY* entry = AfxFindDispatchEntry(map, member.dispid);
        if (entry == nullptr) {
            problems.push_back(name + " has no dispatch map entry");
            continue;
        }
        const bool isProperty = member.kind == MemberKind::Property;
        if (member.kind == MemberKind::PropertyGet || member.kind == MemberKind::PropertyPut) {
            problems.push_back(name + ": accessor members are not bound by dispatch maps");
            continue;
        }
        if (entry->isProperty != isProperty) {
            problems.push_back(name + (isProperty ? " is a property but bound as a method"
                                                  : " is a method but bound as a property"));
            continue;
        }
        if (!afx_detail::Fits(entry->result, member.vt)) {
            problems.push_back(name + ": the C++ type cannot carry " + VarTypeName(member.vt));
        }
        if (isProperty) {
            if (member.readOnly != (entry->pfnSet == nullptr)) {
                problems.push_back(name + (member.readOnly ? " is read-only but has a setter"
                                                           : " is read/write but has no setter"));
            }
            continue;
        }
        if (entry->params.size() != member.params.size()) {
            problems.push_back(name + " takes " + std::to_string(member.params.size()) +
                               " parameters but its C++ member " +
                               std::to_string(entry->params.size()));
            continue;
        }
        for (std::size_t i = 0; i < member.params.size(); ++i) {
            if (!afx_detail::Fits(entry->params[i], member.params[i].vt)) {
                problems.push_back(name + ": parameter " + member.params[i].name +
                                   " cannot be carried as " + VarTypeName(member.params[i].vt));
            }
        }
    }
    for (const AFX_DISPMAP_ENTRY& entry : map.entries) {
        if (FindMemberById(iface, entry.dispid) == nullptr) {
            problems.push_back(std::string(iface.name) + " has no member with DISPID " +
                               std::to_string(entry.dispid));
        }
    }
    return problems;
}
