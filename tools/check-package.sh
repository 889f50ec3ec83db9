#!/usr/bin/env bash
# The Debian package from start to end, as root on a machine with Debian's archive:
# build it, install it with apt-get, run the installed tool off-screen against the
# simulated module as an ordinary user, check that the recording and the log are in
# that user's data folder and the settings in their configuration folder, then remove
# the package and check that its programs are gone. Before that, lintian must find no
# error or warning in the package and appstreamcli must accept its metainfo.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
user=${CHECK_USER:-nobody}

bash tools/make-deb.sh >/dev/null
package=$(ls -t "$build"/tivanepelotool_*.deb | head -n 1)
command -v lintian >/dev/null && command -v appstreamcli >/dev/null ||
  DEBIAN_FRONTEND=noninteractive apt-get install -y lintian appstream >/dev/null
# Root runs it here; lintian only notes that it would rather not.
findings=$(lintian "$package" 2>/dev/null | grep -E '^(E|W): ' || true)
if [ -n "$findings" ]; then
  echo "$findings" >&2
  echo "check-package: lintian found the above in $package" >&2
  exit 1
fi
appstreamcli validate --no-net res/desktop/org.tivanepelo.TivanePeloTool.metainfo.xml >/dev/null
DEBIAN_FRONTEND=noninteractive apt-get install -y "./$package" >/dev/null

home=$(mktemp -d /tmp/check-package-XXXXXX)
chown "$user" "$home"
trap 'rm -rf "$home"' EXIT
(cd "$home" && runuser -u "$user" -- env -i HOME="$home" PATH=/usr/bin:/bin QT_QPA_PLATFORM=offscreen \
  TivanePeloTool --simulate --start --seconds 3)

fail() {
  echo "check-package: $1" >&2
  exit 1
}
[ -s "$home/.config/tivanepelotool/appConfig.xml" ] || fail "no settings in the user's configuration folder"
ls "$home"/.local/share/tivanepelotool/Log/*.dat >/dev/null 2>&1 || fail "no recording in the user's data folder"
ls "$home"/.local/share/tivanepelotool/Log/*.log >/dev/null 2>&1 || fail "no log in the user's data folder"
[ -s /usr/lib/udev/rules.d/70-tivanepelotool.rules ] || fail "the access rule is not installed"

DEBIAN_FRONTEND=noninteractive apt-get remove -y tivanepelotool >/dev/null
! command -v TivanePeloTool >/dev/null || fail "the tool is still there after the removal"
echo "check-package: $(basename "$package") built, installed, run as $user and removed"
