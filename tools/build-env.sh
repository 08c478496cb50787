# Sourced by the scripts that configure and build a tree (root= set by the caller).
# A tree configured for the first time uses Ninja and ccache; a tree configured
# before keeps its generator and launcher, which CMake stores in its cache.
#
# ccache keeps its cache inside the clone's build/ folder and reads no other
# configuration (not the machine's /etc/ccache.conf): a fresh clone starts cold and
# measures what a newcomer waits, and a second run in the same clone hits it.
# TAVISK_CCACHE_DIR names another cache, for several clones of one machine to share.

if command -v ninja >/dev/null 2>&1; then
  export CMAKE_GENERATOR=${CMAKE_GENERATOR:-Ninja}
fi
if command -v ccache >/dev/null 2>&1; then
  export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
  export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
  export CCACHE_DIR="${TAVISK_CCACHE_DIR:-$root/build/ccache}"
  export CCACHE_CONFIGPATH="$CCACHE_DIR/ccache.conf"
  mkdir -p "$CCACHE_DIR"
  # The precompiled headers are included with -include: ccache caches those
  # compilations only with pch_defines and time_macros; the headers are written
  # during the build, so their times are not taken as a sign of a change.
  # Written aside and moved in: a build already running may be reading it.
  cat >"$CCACHE_CONFIGPATH.$$" <<EOF
cache_dir = $CCACHE_DIR
max_size = 4G
base_dir = $root
hash_dir = false
sloppiness = pch_defines,time_macros,include_file_mtime,include_file_ctime
EOF
  mv -f "$CCACHE_CONFIGPATH.$$" "$CCACHE_CONFIGPATH"
  # A shared cache's file names the last clone's root; each clone's own wins here.
  export CCACHE_BASEDIR="$root"
fi
