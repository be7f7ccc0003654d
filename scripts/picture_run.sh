# Sourced by the scripts that redraw the pictures of docs/: reads [BUILD_DIR] [OUT_DIR] from the
# script's arguments (defaults: build, docs) into `build` and `out`, makes a temporary folder
# `work` with its own registry file, and stops kestrod (kestrod_server.sh) and removes `work`
# on exit.
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath "${1:-$repo/build}")
out=$(realpath "${2:-$repo/docs}")
mkdir -p "$out"
work=$(mktemp -d)
source "$repo/scripts/kestrod_server.sh"
trap 'stop_kestrod; rm -rf "$work"' EXIT
export FORECOURT_REGISTRY=$work/registry TZ=UTC
