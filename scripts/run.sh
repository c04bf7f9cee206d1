#!/usr/bin/env bash
# Sets up, builds and starts a viewer: scripts/run.sh [hedrix|crimpa-nfmars|crimpa-dudevi|crimpa-paper|
# crimpa-mars|crimpa-selfx|crimpa-bhull] (default hedrix). The viewer writes its files into the
# current directory.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
program="${1:-hedrix}"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" >/dev/null
case "$program" in
  hedrix) exec "$root/build/hedrix/app/hedrix" ;;
  crimpa-*) exec "$root/build/crimpa/app/$program" ;;
  *) echo "unknown program: $program" >&2; exit 2 ;;
esac
