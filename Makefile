# Two entry points: `make run` and `make test`. Both install what is missing
# from Debian's packages first, so they work on a fresh machine.

PACKAGES := cmake ninja-build g++ make pkg-config \
            qt6-base-dev qt6-webengine-dev qt6-l10n-tools libgl-dev libicu-dev libgl1-mesa-dri \
            libgtest-dev libgmock-dev libbenchmark-dev \
            clang libclang-rt-14-dev clang-format \
            xvfb xauth openbox x11-utils weston qt6-wayland fonts-noto-cjk fp-utils kchmviewer xdg-utils \
            dbus at-spi2-core python3-pyatspi xdotool fcitx5 fcitx5-mozc fcitx5-frontend-qt6 \
            qt6-translations-l10n locales libc-l10n adwaita-qt6 \
            librsvg2-bin dpkg-dev lintian man-db appstream desktop-file-utils debootstrap \
            chromium firefox-esr python3-websocket default-jre-headless \
            exfat-fuse exfatprogs dosfstools mount \
            libcurl4-openssl-dev libssl-dev qtkeychain-qt6-dev openssh-server openssh-client \
            vsftpd openssl gnome-keyring

# The browser suite's checkers (vnu-jar, axe-core), pinned in
# tests/browser/package-lock.json and installed by npm outside the tracked
# files. Their install scripts are not run: vnu-jar's would fetch a Java of
# its own, and the jar runs on Debian's default-jre-headless.
NPM_DIR := build/npm

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
JOBS ?= $(shell nproc)

.PHONY: deps build build-program run test test-unit test-package package test-asan fuzz bench clean

# The Japanese locale is generated too: the tests check that the system's
# error texts reach the user in Japanese.
deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi
	@if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then \
	  echo "Generating the locale ja_JP.UTF-8"; \
	  $(SUDO) sh -c "grep -qx 'ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen; locale-gen >/dev/null"; \
	fi
	@# Debian's npm only where no npm is on the PATH: a Node.js from elsewhere
	@# brings its own, and its package conflicts with Debian's npm.
	@if ! command -v npm >/dev/null 2>&1; then \
	  echo "Installing: npm"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq npm; \
	fi
	@if ! cmp -s tests/browser/package-lock.json $(NPM_DIR)/package-lock.json || \
	    [ ! -d $(NPM_DIR)/node_modules/vnu-jar ] || [ ! -d $(NPM_DIR)/node_modules/axe-core ]; then \
	  echo "Installing the browser suite's checkers into $(NPM_DIR)"; \
	  mkdir -p $(NPM_DIR) && cp tests/browser/package.json tests/browser/package-lock.json $(NPM_DIR)/ && \
	  npm ci --prefix $(NPM_DIR) --ignore-scripts --no-audit --no-fund; \
	fi

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

# Only what the program needs: the program, its preview module and the help.
build-program: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS) --target zelmora zelmora_preview zelmora_help

run: build-program
	@if [ -n "$$DISPLAY" ] || [ -n "$$WAYLAND_DISPLAY" ]; then exec ./build/default/bin/zelmora; fi; \
	echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): starting Zelmora under a virtual"; \
	echo "X display (xvfb-run). Its window cannot be seen, and it runs until it is stopped."; \
	exec xvfb-run -a -s "-screen 0 1280x1024x24" sh -c \
	  'echo "Zelmora runs as process $$$$: stop it with Ctrl+C here, or with: kill $$$$"; exec ./build/default/bin/zelmora'

test-unit: build
	ctest --preset default -j $(JOBS)

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer,
# leaks checked. The tests that drive the web engine are left to the plain
# run: the engine's own library reports a new/delete size mismatch inside
# Chromium when its page is destroyed (nothing of this project's code).
# The browser suite too: it tests the pages in Chromium, and runs once.
test-asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	ctest --preset asan -j $(JOBS) -E 'WebEngine|BrowserSuite'

# Each fuzzer for a bounded time, from its seed corpus; new inputs go to a
# scratch folder, never into the source tree.
FUZZ_SECONDS ?= 30
FUZZERS := reader settings set_name cp932
fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)
	@set -e; for f in $(FUZZERS); do \
	  scratch=$$(mktemp -d); \
	  echo "fuzz_$$f: $(FUZZ_SECONDS) s"; \
	  ./build/fuzz/bin/fuzz_$$f -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    -artifact_prefix=build/fuzz/ $$scratch fuzz/corpus/$$f 2>build/fuzz/fuzz_$$f.log \
	    || { tail -40 build/fuzz/fuzz_$$f.log; rm -rf $$scratch; exit 1; }; \
	  grep -E '^stat::number_of_executed_units' build/fuzz/fuzz_$$f.log || true; \
	  rm -rf $$scratch; \
	done

# Every road against its floor, side by side in one run, in a Release build:
# each ratio's median, minimum and maximum with its target. BENCH_RUNS sets
# the number of side-by-side runs (start-up takes at least 41); the windows
# run on their own Xvfb server. The start-up rows compare the program with a
# window that paints every string of its first paint, the bare window beside.
# Then an HTML5 set opened in the visitor's page against a hand-written
# <dialog> and against the popup window, click to first page painted in
# headless Chromium, over BENCH_OPEN_ROUNDS interleaved rounds. Last, a set
# published to a local sshd against curl sending the same files.
BENCH_RUNS ?= 7
BENCH_OPEN_ROUNDS ?= 15
bench: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS) --target bench_report make_browser_set bench_publish
	xvfb-run -a -s "-screen 0 1280x1024x24" ./build/release/bin/bench_report --runs $(BENCH_RUNS)
	/usr/bin/python3 bench/in_page_open.py --maker build/release/bin/make_browser_set --rounds $(BENCH_OPEN_ROUNDS)
	./build/release/bin/bench_publish --runs $(BENCH_RUNS)

# The Debian package (build/package/zelmora_<version>_<arch>.deb), from a
# release build of its own (preset "package").
package: deps
	JOBS=$(JOBS) tools/build-deb.sh

# The package and its desktop files against Debian's and freedesktop.org's
# checkers: lintian (no errors), AppStream, the desktop entry.
test-package: package
	@deb=$$(ls build/package/zelmora_*.deb); set -e; \
	root=build/package/root; \
	echo "lintian $$deb"; lintian --fail-on error "$$deb"; \
	echo "appstreamcli validate"; appstreamcli validate --no-net --pedantic $$root/usr/share/metainfo/*.metainfo.xml; \
	echo "desktop-file-validate"; desktop-file-validate $$root/usr/share/applications/*.desktop; \
	echo "man -L ja zelmora"; MANPATH=$$root/usr/share/man LANG=ja_JP.UTF-8 man -L ja zelmora 2>&1 | grep -q '^名前'; \
	echo "man zelmora"; MANPATH=$$root/usr/share/man LANG=C.UTF-8 man zelmora 2>&1 | grep -q '^NAME'

test: test-unit test-package test-asan fuzz

clean:
	rm -rf build
