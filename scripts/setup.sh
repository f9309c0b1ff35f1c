# Shared set-up of test.sh, run.sh and scripts/sanitize.sh: the Debian packages Tavlin builds and
# tests with, the build itself, and stopping all they started. Sourced, not run.

# CMake takes a backslash in the source folder's path for a folder separator and cuts its own
# command lines at a double quote: it cannot configure such a clone, and what it then says sends
# the reader after a missing folder or a missing Qt, while a double quote's try-compiles land in a
# new folder beside the clone. Said here in plain words, before anything is installed or written.
tavlin_clone=$(pwd -P)
case "$tavlin_clone" in
  *\\*) tavlin_unfit="backslash" ;;
  *\"*) tavlin_unfit="double quote" ;;
  *) tavlin_unfit="" ;;
esac
if [ -n "$tavlin_unfit" ]; then
  echo "Tavlin cannot be built in $tavlin_clone: CMake cannot take the $tavlin_unfit in its path." \
    "Clone Tavlin into a folder whose path holds no backslash and no double quote." >&2
  exit 1
fi
unset tavlin_unfit

TAVLIN_PACKAGES=(
  g++ cmake ninja-build pkg-config clang-format
  qt6-base-dev qt6-svg-dev qt6-tools-dev qt6-l10n-tools qt6-tools-dev-tools qt6-image-formats-plugins qt6-translations-l10n
  libsqlite3-dev libplist-dev libssl-dev
  libxcb1-dev libxcb-keysyms1-dev libxcb-xinput-dev libxcb-shape0-dev libxkbcommon-dev libxkbcommon-x11-dev
  qcoro-qt6-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xclip xdotool x11-utils python3 python3-xlib openbox trayer xterm
  dbus-daemon dbus-x11 at-spi2-core python3-gi gir1.2-atspi-2.0 gir1.2-gtk-3.0
  fonts-dejavu-core fonts-noto-mono fonts-noto-color-emoji
)

# tavlin_apt_get ARGUMENT...: apt-get, run again while another package manager (often unattended
# upgrades, at boot) holds the package lists or dpkg's lock, for up to 30 minutes, saying once
# that it waits. apt-get's own DPkg::Lock::Timeout covers dpkg's lock only, not the lists'.
tavlin_apt_get() {
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
  fi
  local errors waited=""
  errors=$(mktemp)
  local deadline=$((SECONDS + 1800))
  # English messages, to tell a held lock from any other failure.
  until "${sudo[@]}" env LC_ALL=C DEBIAN_FRONTEND=noninteractive apt-get "$@" 2>"$errors"; do
    if ! grep -q "Could not get lock\|Unable to lock\|Unable to acquire the dpkg frontend lock" "$errors" \
      || [ "$SECONDS" -ge "$deadline" ]; then
      cat "$errors" >&2
      rm -f "$errors"
      return 1
    fi
    if [ -z "$waited" ]; then
      echo "== waiting for another package manager to finish: $(grep -o 'held by process.*' "$errors" | head -n 1)" >&2
      waited=1
    fi
    sleep 5
  done
  cat "$errors" >&2
  rm -f "$errors"
}

tavlin_install_packages() {
  local missing=()
  local package
  for package in "${TAVLIN_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  if [ "${#missing[@]}" -eq 0 ]; then
    return
  fi
  if [ "$(id -u)" -ne 0 ] && ! command -v sudo >/dev/null; then
    echo "These Debian packages are missing: ${missing[*]}" >&2
    echo "Installing them takes root, and sudo is not installed. As root (su -), run" >&2
    echo "  apt-get install --no-install-recommends ${missing[*]}" >&2
    echo "or install sudo and give yourself its rights there (adduser $(id -un) sudo, then log in again)," >&2
    echo "then run $0 again." >&2
    return 1
  fi
  echo "== installing: ${missing[*]}"
  tavlin_apt_get update -qq
  tavlin_apt_get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# A signal to this script's process alone (`kill PID`) would end it and leave what it started
# running, and bash runs a trap only once its foreground command has ended. So the long steps run
# through tavlin_run, in the background in a process group of their own (set -m) that the script
# waits for. On TERM, INT, HUP or QUIT (alone, or a Ctrl+C, hang-up or Ctrl+\ reaching the
# terminal's group), the script sends TERM to that group, on which all there end in order (INT may
# be ignored in the background; ninja stops its compilers and keeps its logs whole), waits until the
# group is gone and ends by the same signal. Installing packages stays in the foreground, where sudo
# can ask for a password: a signal then waits for apt-get, rather than leave packages half installed.
tavlin_job=""

# tavlin_run COMMAND...: runs COMMAND (a program or a function of these scripts) as such a job.
tavlin_run() {
  set -m
  # A job in the background may not read the terminal, nor write to it after `stty tostop`
  # unless it ignores SIGTTOU: either would stop it, and the script would wait for ever.
  {
    trap '' TTOU
    "$@"
  } </dev/null &
  tavlin_job=$!
  set +m
  local status=0
  wait "$tavlin_job" || status=$?
  tavlin_job=""
  return "$status"
}

# tavlin_group_runs PGID: whether a process of that group still runs. One that has ended but is
# not reaped yet does not count: the init that adopts it may take its time, or never do it.
tavlin_group_runs() {
  kill -0 -- "-$1" 2>/dev/null || return 1
  local stat line fields
  for stat in /proc/[0-9]*/stat; do
    { read -r line <"$stat"; } 2>/dev/null || continue
    # After the command's name, in parentheses: the state, the parent, the group.
    read -r -a fields <<<"${line##*) }"
    if [ "${fields[2]}" = "$1" ] && [ "${fields[0]}" != Z ]; then
      return 0
    fi
  done
  return 1
}

tavlin_stop() {
  trap '' TERM INT HUP QUIT
  if [ -n "$tavlin_job" ]; then
    kill -TERM -- "-$tavlin_job" 2>/dev/null || true
    # What still runs after 30 s gets no more chance to end in order.
    local deadline=$((SECONDS + 30))
    while tavlin_group_runs "$tavlin_job"; do
      if [ "$SECONDS" -ge "$deadline" ]; then
        kill -KILL -- "-$tavlin_job" 2>/dev/null || true
        break
      fi
      sleep 0.1
    done
  fi
  trap - "$1"
  kill -s "$1" "$$"
  # Without a trap bash ignores QUIT, which leaves it here: it ends with the status QUIT gives.
  exit $((128 + $(kill -l "$1")))
}

for tavlin_signal in TERM INT HUP QUIT; do
  # shellcheck disable=SC2064 # the signal's name is fixed now
  trap "tavlin_stop $tavlin_signal" "$tavlin_signal"
done
unset tavlin_signal

# tavlin_cmake FOLDER -DNAME=VALUE... -- BUILD-ARGUMENT...: configures FOLDER with a Ninja build
# and these settings where it does not have them yet, then builds it with cmake --build FOLDER and
# the arguments after --, both through a path to the clone that ninja and CMake can take. In a
# subshell, for the temporary folder it may set.
tavlin_cmake() (
  local folder=$1
  shift
  local settings=()
  while [ "$1" != -- ]; do
    settings+=("$1")
    shift
  done
  shift
  # CMake splits the compiler's link line, which names files in the temporary folder, as a shell
  # would: a quote in that folder's path loses the libraries' folders, and Qt is not found. CMake
  # and the compiler then get a temporary folder of their own, removed however the build ends.
  case "${TMPDIR:-}" in
    *[\'\"]*)
      TMPDIR=$(mktemp -d /tmp/tavlin-build.XXXXXX) || exit
      trap 'rm -rf "$TMPDIR"' EXIT
      ;;
  esac
  # Configured once (or again for other settings): after that the build runs CMake again by itself
  # when a CMakeLists.txt changed. It goes on through the path it was configured through while
  # that still leads to it (a link to the clone, or a clone reached through a link), rather than be
  # configured again and built anew. A configure that never finished (no build.ninja) is done afresh, as what it
  # found out (where the compiler's libraries are) may be wrong, and so is a folder configured for
  # another place (a copy, or a moved clone), which CMake refuses.
  local configured root=""
  configured=$(sed -n 's/^CMAKE_CACHEFILE_DIR:INTERNAL=//p' "$folder/CMakeCache.txt" 2>/dev/null) || true
  if [ -f "$folder/build.ninja" ] && [[ "$configured" == */"$folder" ]] && tavlin_path_fits "$configured" \
    && [ "$configured" -ef "$folder" ]; then
    root=${configured%/"$folder"}
  else
    root=$(tavlin_build_root) || exit
    if [ ! -f "$folder/build.ninja" ] || ! [ "$configured" -ef "$folder" ]; then
      cmake --fresh -S "$root" -B "$root/$folder" -G Ninja "${settings[@]}" >/dev/null || exit
    elif [ "$configured" != "$root/$folder" ]; then
      # The same folder, configured through the clone's own path before: its objects are built
      # anew, once.
      cmake -S "$root" -B "$root/$folder" -G Ninja "${settings[@]}" >/dev/null || exit
    fi
  fi
  local setting name
  for setting in "${settings[@]}"; do
    name=${setting#-D}
    name=${name%%=*}
    if [ "$(sed -n "s/^$name:[A-Z]*=//p" "$folder/CMakeCache.txt" 2>/dev/null)" != "${setting#*=}" ]; then
      cmake -S "$root" -B "$root/$folder" -G Ninja "${settings[@]}" >/dev/null || exit
      break
    fi
  done
  cmake --build "$root/$folder" "$@"
)

# tavlin_path_fits PATH: whether CMake and ninja take PATH. ninja 1.11 ends a path it reads from
# the compiler's dependency files at most punctuation (a quote, a backquote, `&`, `*`, `^`...), and
# CMake writes `$` unescaped where ninja reads it; such a path never names a file that exists, so
# every object would be out of date at every build. Other punctuation (`;`, `#`, brackets, `|`,
# `<`, `?`) CMake cannot configure or build with. Letters of any script are fine.
tavlin_path_fits() (
  LC_ALL=C
  local rest=${1//[-[:alnum:] _.\/+,:=@%~!(){\}]/}
  [[ "$rest" != *[[:punct:][:cntrl:]]* ]]
)

# tavlin_build_root: the path through which CMake and ninja see the clone: its own where that fits,
# and otherwise a symbolic link to it whose path fits, in ~/.cache/tavlin-clones/ (or
# $XDG_CACHE_HOME/tavlin-clones/, or the runtime folder's when neither fits), named after a hash
# of the clone's path so that every run finds the same one. It is made again whenever it is
# missing; the build itself stays in the clone.
tavlin_build_root() {
  if tavlin_path_fits "$tavlin_clone"; then
    echo "$tavlin_clone"
    return
  fi
  local hash folder link
  hash=$(printf '%s' "$tavlin_clone" | sha256sum | cut -c 1-16)
  for folder in "${XDG_CACHE_HOME:-${HOME:-/nonexistent}/.cache}" "${XDG_RUNTIME_DIR:-/nonexistent}"; do
    folder+=/tavlin-clones
    if [[ "$folder" != /* ]] || ! tavlin_path_fits "$folder" || ! mkdir -p "$folder" 2>/dev/null; then
      continue
    fi
    link=$folder/$hash
    if [ "$(readlink "$link")" != "$tavlin_clone" ]; then
      # Put in place whole: a build of the other build folder may be reading through it.
      { ln -sfn "$tavlin_clone" "$link.$$" && mv -Tf "$link.$$" "$link"; } 2>/dev/null || continue
    fi
    echo "$link"
    return
  done
  echo "Tavlin cannot be built in $tavlin_clone: ninja and CMake cannot take some of the punctuation" \
    "in its path, and no link to it could be made in ~/.cache/tavlin-clones or the runtime folder." \
    "Clone Tavlin into a folder whose path holds no punctuation but -_.+,:=@%~!(){}." >&2
  return 1
}

# tavlin_build [TARGET...]: configures build/ and builds the targets named, or everything.
tavlin_build() {
  echo "== building"
  local targets=()
  if [ "$#" -gt 0 ]; then
    targets=(--target "$@")
  fi
  tavlin_run tavlin_cmake build -DCMAKE_BUILD_TYPE="${TAVLIN_BUILD_TYPE:-RelWithDebInfo}" \
    -- --parallel "$(nproc)" "${targets[@]}"
}
