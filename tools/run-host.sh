#!/usr/bin/env bash
# run-host.sh [--language en|de|fr|ja] [--walkthrough | --screenshot FILE.png] [BUILD_DIR]
# The main job: installs what is missing, builds the Windows tree (build/windows
# unless given), registers the add-ins the build produced, copies the sample web to
# a scratch folder and opens the stand-in host's window on it.
# With a display the user works in that window. Without one, or with --walkthrough,
# it runs under Xvfb (unless a display is there) and the walkthrough program drives
# the window as a user would: the add-in's command on all pages, then on pages
# queued in its page chooser; it prints each page's BODY start tag before and after
# each pass and the files left untouched, and saves a picture of every window it
# passed through in BUILD_DIR/walkthrough. Then a headless browser shows the pages
# as they were before and after each pass: their margins, and side-by-side
# pictures of a few (render-*.png) in the same folder. With --screenshot it only
# saves a picture of the host window to FILE.png. With --language the host is the
# editor's English (the default), German, French or Japanese edition, and the
# add-in speaks that language in it; the walkthrough then drives it in that language.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ "${1:-}" = "--in-session" ]; then
  # Inside the Wine session: every Wine program here shares its display and server.
  build=$2 web=$3 shot=$4 mode=$5 language=$6
  log="$build/run-host.log"
  : >"$log"
  addin="$build/addin/tavisk2002.dll"
  registered=no
  if [ -f "$addin" ]; then
    if wine regsvr32 /s "$(winepath -w "$addin")" >>"$log" 2>&1 </dev/null; then
      echo "run-host: registered the add-in $addin"
      registered=yes
    else
      echo "run-host: the add-in $addin could not be registered (see $log); the host starts without it"
    fi
  else
    echo "run-host: no add-in was built ($addin is missing); the host starts without it"
  fi
  if [ "$mode" = walkthrough ]; then
    shots="$build/walkthrough"
    if [ "$registered" != yes ]; then
      echo "run-host: the walkthrough needs the add-in registered" >&2
      exit 1
    fi
    rm -rf "$shots"
    mkdir -p "$shots"
    echo "run-host: the walkthrough drives the host window on $web"
    states=$(mktemp -d "${TMPDIR:-/tmp}/tavisk-states.XXXXXX")
    trap 'rm -rf "$states"' EXIT
    status=0
    wine "$build/tests/walkthrough/walkthrough.exe" --language "$language" \
      "$(winepath -w "$build/simhost/win32/simhost.exe")" \
      "$(winepath -w "$web")" "$(winepath -w "$shots")" "$(winepath -w "$states")" </dev/null 2>>"$log" || status=$?
    if [ "$status" -eq 0 ]; then
      python3 "$root/tools/browser/render.py" walkthrough "$states" "$shots" \
        before=before "pass-1=after pass 1" "pass-2=after pass 2" ||
        echo "run-host: the browser could not show the pages (see above)"
    fi
    echo "run-host: the screenshots are in $shots"
    exit "$status"
  fi
  args=(--language "$language")
  [ -n "$shot" ] && args+=(--screenshot "$(winepath -w "$shot")")
  echo "run-host: opening the host window on $web"
  wine "$build/simhost/win32/simhost.exe" "${args[@]}" "$(winepath -w "$web")" >>"$log" 2>&1 </dev/null
  if [ -n "$shot" ]; then
    if [ -s "$shot" ]; then
      echo "run-host: screenshot of the host window saved to $shot"
    else
      echo "run-host: no screenshot was saved (see $log)" >&2
      exit 1
    fi
  fi
  exit 0
fi

shot=""
mode=""
language=en
while [ $# -gt 0 ]; do
  case "$1" in
    --walkthrough) mode=walkthrough; shift ;;
    --screenshot) mode=window shot=$(realpath -m "$2"); shift 2 ;;
    --language) language=$2; shift 2 ;;
    *) break ;;
  esac
done
case "$language" in
  en | de | fr | ja) ;;
  *) echo "run-host: no language \"$language\" (en, de, fr or ja)" >&2; exit 2 ;;
esac
[ -n "$mode" ] || mode=$([ -z "${DISPLAY:-}" ] && echo walkthrough || echo window)
build=$(realpath -m "${1:-$root/build/windows}")

bash "$root/tools/setup.sh"
bash "$root/tools/build-windows.sh" "$build"

if [ ! -d "$root/samples/web" ]; then
  echo "run-host: the sample web $root/samples/web is missing" >&2
  exit 1
fi
web=$(mktemp -d "${TMPDIR:-/tmp}/tavisk-web.XXXXXX")
cp -R "$root/samples/web/." "$web/"
echo "run-host: the sample web is copied to $web (the host saves its pages there)"

[ -n "$shot" ] && rm -f "$shot"
exec bash "$root/tools/wine-session.sh" "$build" bash "$root/tools/run-host.sh" --in-session "$build" "$web" "$shot" "$mode" "$language"
