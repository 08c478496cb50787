#!/usr/bin/env bash
# run-host.sh [--screenshot FILE.png] [BUILD_DIR]
# The main job: installs what is missing, builds the Windows tree (build/windows
# unless given), registers the add-ins the build produced, copies the sample web to
# a scratch folder and opens the stand-in host's window on it. Without a display it
# runs under Xvfb, saves a screenshot of the window (BUILD_DIR/simhost-window.png
# unless given) and says where.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ "${1:-}" = "--in-session" ]; then
  # Inside the Wine session: every Wine program here shares its display and server.
  build=$2 web=$3 shot=$4
  log="$build/run-host.log"
  : >"$log"
  addin="$build/addin/tavisk2002.dll"
  if [ -f "$addin" ]; then
    if wine regsvr32 /s "$(winepath -w "$addin")" >>"$log" 2>&1 </dev/null; then
      echo "run-host: registered the add-in $addin"
    else
      echo "run-host: the add-in $addin could not be registered (see $log); the host starts without it"
    fi
  else
    echo "run-host: no add-in was built ($addin is missing); the host starts without it"
  fi
  args=()
  [ -n "$shot" ] && args=(--screenshot "$(winepath -w "$shot")")
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
if [ "${1:-}" = "--screenshot" ]; then
  shot=$(realpath -m "$2")
  shift 2
fi
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

if [ -z "$shot" ] && [ -z "${DISPLAY:-}" ]; then
  shot="$build/simhost-window.png"
fi
[ -n "$shot" ] && rm -f "$shot"
exec bash "$root/tools/wine-session.sh" "$build" bash "$root/tools/run-host.sh" --in-session "$build" "$web" "$shot"
