#!/usr/bin/env bash
# The picture of the HTML report that the README shows: the bundled Puma example's page, as
# tarvel-report --html writes it, taken in headless Chromium.
#
# Usage: scripts/screenshot.sh [--tool PATH] [--page FILE] [--out FILE] [--browser PATH]
#   --tool PATH     tarvel-report (default build/src/tarvel-report)
#   --page FILE     take this page instead of writing the Puma example's (a report or a
#                   trend page)
#   --out FILE      the PNG to write (default docs/report-example.png)
#   --browser PATH  the headless Chromium (default chromium-headless-shell, else chromium)
# The test suite runs it with --out in the build directory, so that the picture can always be
# made; run it without --out to renew the committed one.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
tool="$root/build/src/tarvel-report"
page=""
out="$root/docs/report-example.png"
browser=""
while [ $# -gt 0 ]; do
    case "$1" in
        --tool) tool="$2"; shift 2 ;;
        --page) page="$2"; shift 2 ;;
        --out) out="$2"; shift 2 ;;
        --browser) browser="$2"; shift 2 ;;
        -h|--help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
        *) echo "screenshot.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done
if [ -z "$browser" ]; then
    browser="$(command -v chromium-headless-shell || command -v chromium || true)"
fi
[ -x "$browser" ] || { echo "screenshot.sh: no headless Chromium (scripts/setup.sh)" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
if [ -z "$page" ]; then
    [ -x "$tool" ] || { echo "screenshot.sh: no $tool; build it or give --tool" >&2; exit 2; }
    page="$work/puma.html"
    # From the repository's root, so that the page names the inputs as the README does.
    (cd "$root" && "$tool" --type Puma --def examples/puma/target.def \
        --map examples/puma/application.map --html "$page" >/dev/null)
fi
# The report page embeds the report as tarvel-data, the trend page its trend as tarvel-trend.
if ! grep -q -e 'id="tarvel-data"' -e 'id="tarvel-trend"' "$page"; then
    echo "screenshot.sh: $page holds no report: does $tool write the HTML page with --html?" >&2
    exit 1
fi

# A window as wide as a laptop's, tall enough for the header, the bars and both treemaps.
"$browser" --headless --no-sandbox --disable-gpu --disable-background-networking \
    --disable-component-update --disable-sync --no-first-run --disable-default-apps \
    --hide-scrollbars --user-data-dir="$work/profile" --window-size=1280,1720 \
    --enable-logging=stderr --v=0 --screenshot="$work/shot.png" "file://$(cd "$(dirname "$page")" && pwd)/$(basename "$page")" \
    >/dev/null 2>"$work/log"
if grep ':CONSOLE' "$work/log" | grep -v 'tarvel timing:' >&2; then
    echo "screenshot.sh: the page logged the messages above" >&2
    exit 1
fi
# A PNG of some size: a blank or failed page makes a file of a few kilobytes.
if [ "$(head -c 8 "$work/shot.png" | od -An -tx1 | tr -d ' \n')" != "89504e470d0a1a0a" ] ||
    [ "$(stat -c %s "$work/shot.png")" -lt 40000 ]; then
    echo "screenshot.sh: the browser made no picture of the page" >&2
    exit 1
fi
mkdir -p "$(dirname "$out")"
cp "$work/shot.png" "$out"
echo "screenshot.sh: wrote $out"
