# Sourced by the other scripts: makes sure the tools they need are here.
# As root it installs what is missing from Debian's packages; otherwise it
# says exactly what to install.

# need_packages COMMAND PACKAGE... : ensure COMMAND (or file) exists.
styledtext_missing=""
need() {  # need TEST PACKAGES...
  test_what=$1; shift
  case "$test_what" in
    /*) [ -e "$test_what" ] && return 0 ;;
    *) command -v "$test_what" >/dev/null 2>&1 && return 0 ;;
  esac
  styledtext_missing="$styledtext_missing $*"
}

install_missing() {
  [ -z "$styledtext_missing" ] && return 0
  if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then
    echo "== installing:$styledtext_missing"
    case "$styledtext_missing" in
      *:i386*) dpkg --add-architecture i386 ;;
    esac
    export DEBIAN_FRONTEND=noninteractive
    # A mirror in the middle of a sync fails an update now and then: it is
    # tried again. When an index still fails (the security archive's, say),
    # packages come from the release's own archive, whose versions agree
    # across architectures, as the 32-bit libraries must with the 64-bit.
    release=""
    for attempt in 1 2 3; do
      apt-get update -qq >/dev/null && { release=""; break; }
      echo "apt-get update failed (attempt $attempt of 3)" >&2
      release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
      [ "$attempt" = 3 ] || sleep 20
    done
    # shellcheck disable=SC2086
    if ! apt-get install -y -qq ${release:+-t "$release"} $styledtext_missing >/dev/null; then
      # Without the 32-bit packages only the 32-bit Windows tests are lost:
      # they say so and are skipped.
      native_only=$(echo "$styledtext_missing" | tr ' ' '\n' | grep -v ':i386$' | tr '\n' ' ')
      # shellcheck disable=SC2086
      case "$styledtext_missing" in *:i386*) ;; *) native_only="" ;; esac
      if [ -z "$native_only" ] ||
         ! apt-get install -y -qq ${release:+-t "$release"} $native_only >/dev/null; then
        echo "error: could not install:$styledtext_missing" >&2
        exit 1
      fi
      echo "warning: could not install the 32-bit packages; the 32-bit Windows tests will be skipped" >&2
    fi
  else
    echo "error: missing tools. Install them with:" >&2
    case "$styledtext_missing" in
      *:i386*) echo "  sudo dpkg --add-architecture i386 && sudo apt-get update" >&2 ;;
    esac
    echo "  sudo apt-get install$styledtext_missing" >&2
    exit 1
  fi
  styledtext_missing=""
}

need_native_tools() {
  need cmake cmake
  need ninja ninja-build
  need g++ g++
  need /usr/include/gtest/gtest.h libgtest-dev googletest
  need /usr/src/googletest/googletest/CMakeLists.txt googletest
  # The browser that "HTML Format" is compared with (tests/html_browser);
  # without it those tests are reported as skipped.
  need chromium chromium
}

need_windows_tools() {
  need i686-w64-mingw32-g++-posix g++-mingw-w64-i686
  need x86_64-w64-mingw32-g++-posix g++-mingw-w64-x86-64
  need wine wine
  need /usr/lib/wine/wine64 wine64
  need /usr/lib/i386-linux-gnu/wine/i386-windows/kernel32.dll wine32:i386
  # The sources of the glibc locales: the comparison with RichEdit runs under
  # several ANSI code pages, which Wine takes from LANG only for a locale the
  # C library knows; tests/windows/wine_locales.sh compiles them into the build.
  need /usr/share/i18n/locales/ja_JP locales
}
