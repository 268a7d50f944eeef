#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package the Debian way and tries it as a user would: dpkg-buildpackage in a
# scratch copy of the sources (the tree stays clean), lintian, then installing it on this
# machine (apt-get install ./DEB, which runs dpkg), both programs and their manual pages from
# the installed package, and a purge that must leave none of the package's files behind.
#   scripts/test-package.sh [WORK_DIR]      (default: build/package)
# Installing needs root: run it where the package may come and go (CI runs as root on a
# throwaway machine). As another user it says so and skips. A vortan package installed before
# is never touched: the test refuses to run then.
# The last line is what CI reads: "package: N passed, M failed".
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(realpath -m "${1:-build/package}")

if [ "$(id -u)" -ne 0 ]; then
    echo "package: SKIPPED: installing the package needs root (run as root on a throwaway machine)"
    echo "package: 0 passed, 0 failed (skipped: not root)"
    exit 0
fi
if dpkg-query -W -f='${Status}\n' vortan 2>/dev/null | grep -q ' installed$'; then
    echo "package: refused: a vortan package is installed here already; this test would remove it" >&2
    echo "package: 0 passed, 1 failed"
    exit 1
fi

passed=0 failed=0
pass() { passed=$((passed + 1)); echo "package: ok: $*"; }
fail() { failed=$((failed + 1)); echo "package: FAILED: $*" >&2; }
finish() {
    echo "package: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
    exit
}
installed=0
# shellcheck disable=SC2317  # run by the trap
cleanup() {
    # A failure between install and purge must not leave the package on the machine.
    if [ "$installed" = 1 ]; then apt_get purge vortan >/dev/null 2>&1 || true; fi
}
trap cleanup EXIT
started=$SECONDS
# apt-get (which runs dpkg) waits for another apt or dpkg to finish instead of failing at once.
apt_get() {
    DEBIAN_FRONTEND=noninteractive apt-get -y -q --no-install-recommends \
        -o DPkg::Lock::Timeout=600 "$@"
}

version=$(dpkg-parsechangelog -l debian/changelog -S Version)
upstream=${version%-*}
project=$(sed -n 's/^project(Vortan VERSION \([^ ]*\) .*/\1/p' CMakeLists.txt)
if [ "$upstream" = "$project" ]; then
    pass "debian/changelog is at the project's version ($version)"
else
    fail "debian/changelog is at $version, the project at $project"
fi

# --- Build, in a copy of what git tracks (and new files not ignored) -----------------------------
rm -rf "$work"
src="$work/vortan-$upstream"
mkdir -p "$src"
git ls-files -z --cached --others --exclude-standard | tar -cf - --null -T - | tar -xf - -C "$src"
if (cd "$src" && dpkg-buildpackage -us -uc -b -j"$(nproc)") >"$work/build.log" 2>&1; then
    pass "dpkg-buildpackage ($((SECONDS - started)) s)"
else
    tail -n 40 "$work/build.log" >&2
    fail "dpkg-buildpackage (log: $work/build.log)"
    finish
fi
deb="$work/vortan_${version}_$(dpkg --print-architecture).deb"
changes="$work/vortan_${version}_$(dpkg --print-architecture).changes"

# --- lintian: no errors, no warnings ----------------------------------------------------------
if lintian --fail-on error,warning "$changes" >"$work/lintian.log" 2>&1; then
    pass "lintian"
else
    fail "lintian"
fi
grep -v 'running with root privileges' "$work/lintian.log" | sed 's/^/    /' || true

# --- Install, and use what was installed -------------------------------------------------------
if apt_get install "$deb" >"$work/install.log" 2>&1; then
    installed=1
    pass "installed $(basename "$deb")"
else
    cat "$work/install.log" >&2
    fail "installing $(basename "$deb")"
    finish
fi
mapfile -t owned < <(dpkg-query -L vortan)

# Passes when the command prints exactly `want`.
expect_output() { # expect_output WANT CMD...
    local want=$1 got
    shift
    got=$("$@" 2>&1) || true
    if [ "$got" = "$want" ]; then pass "$* -> $got"; else fail "$* said: $got"; fi
}
# No display anywhere: a window would abort on xcb.
expect_output "vortan $upstream" \
    env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb /usr/bin/vortan --version
expect_output "vortan-render $upstream" /usr/bin/vortan-render --version
lesson=/usr/share/doc/vortan/examples/lesson.txt
expect_output RIFF sh -c "/usr/bin/vortan-render --text-file $lesson --output - | head -c 4"
expect_output "Accuracy: 100.0 %" sh -c "/usr/bin/vortan-check $lesson $lesson | head -n 1"

# Both manual pages of a language, where man looks for them, format without a groff warning
# (-k: the Polish ones are UTF-8) and render with their first heading.
check_manuals() { # check_manuals MAN-OPTIONS FOLDER HEADING WHAT
    local ok=1 name page warnings rendered
    for name in vortan vortan-render vortan-check; do
        # shellcheck disable=SC2086  # the options are words
        page=$(man $1 -w "$name" 2>&1) || true
        if [ "$page" != "/usr/share/man/$2/$name.1.gz" ]; then
            ok=0
            echo "    man $1 -w $name: $page" >&2
            continue
        fi
        warnings=$(zcat "$page" | groff -k -ww -man -Tutf8 -z 2>&1)
        [ -z "$warnings" ] || { ok=0; echo "    groff -ww $page: $warnings" >&2; }
        # Read whole first: under pipefail a grep -q that stops early fails the writer.
        rendered=$(MANWIDTH=80 man -l "$page" 2>&1) || true
        grep -q "^$3" <<<"$rendered" || { ok=0; echo "    man -l $page" >&2; }
    done
    if [ "$ok" = 1 ]; then pass "$4: found, groff -ww silent"; else fail "$4"; fi
}
check_manuals "" man1 NAME "man vortan, man vortan-render, man vortan-check"
# -L: the machine may have no pl_PL locale generated, which LANG alone would need.
check_manuals "-L pl" pl/man1 NAZWA "man -L pl vortan, vortan-render, vortan-check: the Polish pages"
# The translations are built into both programs: a Polish locale gets a Polish --help.
polish="env -u DISPLAY -u WAYLAND_DISPLAY -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=pl_PL.UTF-8"
# Each --help is read whole before grep looks at it: a grep -q that stops at the first match
# would close the pipe on a help longer than one write and fail the program with SIGPIPE.
program_help=$($polish QT_QPA_PLATFORM=xcb /usr/bin/vortan --help 2>&1) || true
render_help=$($polish /usr/bin/vortan-render --help 2>&1) || true
check_help=$($polish /usr/bin/vortan-check --help 2>&1) || true
if grep -q "Vortan uczy odbioru" <<<"$program_help" &&
    grep -q "^Użycie: vortan-render" <<<"$render_help" &&
    grep -q "^użycie: vortan-check NADANY ODBIÓR" <<<"$check_help"; then
    pass "LANG=pl_PL.UTF-8 vortan --help, vortan-render --help, vortan-check --help: in Polish"
else
    fail "LANG=pl_PL.UTF-8: a --help is not in Polish"
    printf '    %s\n' "${program_help%%$'\n'*}" "${render_help%%$'\n'*}" \
        "${check_help%%$'\n'*}" >&2
fi

metainfo=/usr/share/metainfo/org.example.vortan.metainfo.xml
if out=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1) &&
    [ -f /usr/share/applications/vortan.desktop ]; then
    pass "AppStream metadata and menu entry installed and valid"
else
    fail "AppStream metadata: $out"
fi

# --- Purge: nothing of the package may stay -----------------------------------------------------
if apt_get purge vortan >"$work/purge.log" 2>&1; then
    installed=0
    left=()
    for path in "${owned[@]}"; do
        [ "$path" = /. ] && continue
        if [ -d "$path" ] && [ ! -L "$path" ]; then
            # A folder may stay only while another package still owns it.
            dpkg-query -S "$path" >/dev/null 2>&1 || left+=("$path/")
        elif [ -e "$path" ] || [ -L "$path" ]; then
            left+=("$path")
        fi
    done
    state=$(dpkg-query -W -f='${db:Status-Status}' vortan 2>/dev/null || echo not-installed)
    if [ ${#left[@]} -eq 0 ] && [ "$state" = not-installed ]; then
        pass "purge left none of the ${#owned[@]} paths of the package"
    else
        fail "purge left (state $state): ${left[*]}"
    fi
else
    cat "$work/purge.log" >&2
    fail "purging vortan"
fi

echo "package: took $((SECONDS - started)) s"
finish
