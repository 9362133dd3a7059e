# The two commands of this project: `make run` and `make test`.
# Both install whatever Debian packages are missing first, so they work on a
# fresh Debian 12 machine as well as on one where everything is in place.

BUILD_DIR := build
PACKAGES := cmake ninja-build g++ pkg-config \
            qt6-base-dev qt6-multimedia-dev qt6-qpa-plugins libqt6svg6 libgl-dev \
            libgtest-dev fonts-dejavu-core fonts-liberation2 clang-format \
            xvfb x11-utils libxcb1-dev g++-mingw-w64-x86-64-posix desktop-file-utils appstream \
            pulseaudio pulseaudio-utils libsndfile1-dev libsoxr-dev libstb-dev libssl-dev libebur128-dev

SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

FUZZ_PACKAGES := clang libclang-rt-14-dev
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := fieldreader projectfile themecfg batchlines sounddecoder bundle analysiscache

.PHONY: run test deps install-packages build sanitize fuzz bench format format-check test-windows windows \
        install deb

run: build
	./$(BUILD_DIR)/bin/vesk

test: build
	ctest --preset build

deps:
	@$(MAKE) --no-print-directory install-packages WANTED="$(PACKAGES)"

install-packages:
	@missing=""; \
	for p in $(WANTED); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi

# Each build folder is a preset of CMakePresets.json; configuring again each
# time lets a changed option take effect.
build: deps
	cmake --preset build > /dev/null
	cmake --build --preset build

# The tests again, built with AddressSanitizer and UndefinedBehaviorSanitizer
# in a folder of their own.
sanitize: deps
	cmake --preset build-asan > /dev/null
	cmake --build --preset build-asan
	ctest --preset build-asan

# The standard C++ parts and their tests, cross-built for Windows with
# MinGW-w64 and run under Wine (in a prefix of the build's own), the real
# cmd.exe included, and the Windows programs driven through their windows.
# The last line counts the tests.
WINDOWS_PACKAGES := g++-mingw-w64-x86-64-posix wine64 googletest xvfb xauth libstb-dev \
                    gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-ugly
WINDOWS_BUILD := build-windows
test-windows: deps
	@$(MAKE) --no-print-directory install-packages WANTED="$(WINDOWS_PACKAGES)"
	@.ci/posix-headers
	cmake --preset build-windows > /dev/null
	cmake --build --preset build-windows
	@{ ctest --preset build-windows --output-on-failure > $(WINDOWS_BUILD)/ctest.log 2>&1; status=$$?; }; \
	cd $(WINDOWS_BUILD); cat ctest.log; WINEPREFIX=$(CURDIR)/$(WINDOWS_BUILD)/wineprefix /usr/lib/wine/wineserver -k 2>/dev/null || true; \
	total=$$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' ctest.log); \
	failed=$$(sed -n 's/.* \([0-9]*\) tests failed out of.*/\1/p' ctest.log); \
	skipped=$$(grep -c '(Skipped)' ctest.log || true); \
	passed=$$(( $${total:-0} - $${failed:-0} - $${skipped:-0} )); \
	echo "windows: $$passed passed, $${failed:-0} failed"; \
	[ "$$status" -eq 0 ] && [ "$${failed:-0}" -eq 0 ] && [ "$$passed" -gt 0 ]

# The flags Debian builds its packages with (fortified, read-only
# relocations bound at start, the hardening set), for the release builds.
HARDENED = VESK_CPPFLAGS="$$(dpkg-buildflags --get CPPFLAGS)" \
           VESK_CXXFLAGS="$$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CXXFLAGS)" \
           VESK_LDFLAGS="$$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get LDFLAGS)"

# Installs vesk, vpak, vpak.exe (as a file of share/vesk, not a command),
# the manual pages, the menu entry, the icon, the *.vsk file type and the
# software centre's description under PREFIX: a release build of its own,
# without the tests. sudo only where PREFIX cannot be written.
PREFIX ?= /usr/local
INSTALL_PACKAGES := cmake ninja-build g++ pkg-config qt6-base-dev qt6-multimedia-dev qt6-qpa-plugins libqt6svg6 libgl-dev \
                    libxcb1-dev libsndfile1-dev libsoxr-dev libstb-dev libssl-dev g++-mingw-w64-x86-64-posix dpkg-dev
install:
	@$(MAKE) --no-print-directory install-packages WANTED="$(INSTALL_PACKAGES)"
	$(HARDENED) VESK_PREFIX=$(abspath $(PREFIX)) cmake --preset build-install > /dev/null
	cmake --build --preset build-install
	@mkdir -p $(PREFIX) 2>/dev/null || true; \
	as=$$([ -w $(PREFIX) ] || echo sudo); \
	$$as cmake --install build-install --prefix $(PREFIX) --strip && \
	{ ! command -v update-mime-database > /dev/null || $$as update-mime-database $(PREFIX)/share/mime; } && \
	{ ! command -v update-desktop-database > /dev/null || $$as update-desktop-database $(PREFIX)/share/applications; }

# A Debian package of the same install, for /usr, its dependencies found by
# dpkg-shlibdeps: vesk_VERSION_ARCH.deb in this folder, which must pass
# lintian without an error or a warning.
deb: deps
	@$(MAKE) --no-print-directory install-packages WANTED="dpkg-dev file lintian"
	$(HARDENED) cmake --preset build-deb > /dev/null
	cmake --build --preset build-deb
	cd build-deb && cpack
	cp build-deb/vesk_*.deb .
	lintian --fail-on error,warning build-deb/vesk_*.deb

# The Windows download: vesk.exe and vpak.exe, stripped, with a README for
# Windows players, in build-windows/dist/vesk-VERSION-windows.zip.
windows: deps
	@$(MAKE) --no-print-directory install-packages WANTED="g++-mingw-w64-x86-64-posix googletest libstb-dev"
	cmake --preset build-windows > /dev/null
	cmake --build --preset build-windows --target windows_zip
	@ls build-windows/dist/*.zip

# The house layout (.clang-format) for every C++ file git knows of.
format: deps
	git ls-files --cached --others --exclude-standard '*.cpp' '*.h' | xargs clang-format -i

format-check: deps
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

# Each file reader under libFuzzer for FUZZ_SECONDS, from the seeds in fuzz/corpus.
fuzz: deps
	@$(MAKE) --no-print-directory install-packages WANTED="$(FUZZ_PACKAGES)"
	cmake --preset build-fuzz > /dev/null
	cmake --build --preset build-fuzz
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p build-fuzz/corpus/$$t; \
	  echo "== fuzz_$$t, $(FUZZ_SECONDS) s"; \
	  ./build-fuzz/bin/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -detect_leaks=1 \
	    -artifact_prefix=build-fuzz/ build-fuzz/corpus/$$t fuzz/corpus/$$t > build-fuzz/fuzz_$$t.log 2>&1 \
	    || { tail -n 60 build-fuzz/fuzz_$$t.log; echo "fuzz_$$t FAILED"; exit 1; }; \
	  grep -E "^Done|runs in" build-fuzz/fuzz_$$t.log | tail -n 1; \
	done

# Speed figures, measured in a release build; program starts under an X
# server of their own.
BENCH_PACKAGES := xauth dpkg-dev sox libsox-fmt-mp3
bench: deps
	@$(MAKE) --no-print-directory install-packages WANTED="$(BENCH_PACKAGES)"
	$(HARDENED) cmake --preset build-release > /dev/null
	cmake --build --preset build-release --target vesk_bench vpak vesk minimal_qt vesk_startbench
	QT_QPA_PLATFORM=offscreen ./build-release/bin/vesk_bench
	xvfb-run -a -s "-screen 0 1280x1024x24" ./build-release/bin/vesk_startbench \
	  build-release/bin/vesk build-release/bin/vpak build-release/bin/minimal_qt
