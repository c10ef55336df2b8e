#!/usr/bin/env bash
# dotlane-cli loads its picture reader from the library folder fixed when it was built, so an
# install into a scratch folder is run where that folder is seen in its place: in a mount
# namespace of its own, the scratch library folder is laid over the real one.
#   at_installed_place.sh SCRATCH_LIBDIR LIBDIR COMMAND...
set -euo pipefail
from=$1 to=$2
shift 2
namespace=(unshare --mount)
[ "$(id -u)" -eq 0 ] || namespace=(unshare --mount --map-root-user)
exec "${namespace[@]}" bash -c 'mount -t overlay overlay -o "lowerdir=$0:$1" "$1" && shift &&
  exec "$@"' "$from" "$to" "$@"
