# What the real-window tests share, sourced by each: the tools they need, and a fresh home
# folder of their own that is removed when the test ends.

# require_tools WHAT TOOL...: ends the test as skipped (77) when a tool is missing; WHAT
# says what was therefore not tried.
require_tools() {
  local what=$1 tool
  shift
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null; then
      echo "SKIPPED: $tool is not installed (scripts/setup installs it); $what was not tried."
      exit 77
    fi
  done
}

# make_fresh_home: sets $home to a new folder with Documents, config and a private runtime
# folder in it.
make_fresh_home() {
  home=$(mktemp -d)
  trap 'rm -rf "$home"' EXIT
  mkdir -p "$home/Documents" "$home/config" "$home/runtime"
  chmod 700 "$home/runtime"
}

# in_xvfb SECONDS SCREEN COMMAND...: runs the command for at most SECONDS in a new Xvfb
# with a screen of SCREEN (WxH) and the fresh home as the user's. The window must reach the
# X server, whatever platform the test environment asks for.
in_xvfb() {
  local seconds=$1 screen=$2
  shift 2
  HOME=$home XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/runtime QT_QPA_PLATFORM=xcb \
    timeout -k 5 "$seconds" xvfb-run -a -s "-screen 0 ${screen}x24" "$@"
}
