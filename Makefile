# The two commands of this project: `make run` and `make test`.
# Both install whatever Debian packages are missing first, so they work on a
# fresh Debian 12 machine as well as on one where everything is in place.

BUILD_DIR := build
PACKAGES := cmake ninja-build g++ pkg-config \
            qt6-base-dev qt6-multimedia-dev qt6-qpa-plugins libgl-dev \
            libgtest-dev fonts-dejavu-core fonts-liberation2 clang-format \
            xvfb x11-utils libxcb1-dev g++-mingw-w64-x86-64-posix desktop-file-utils appstream \
            pulseaudio pulseaudio-utils

SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

FUZZ_PACKAGES := clang libclang-rt-14-dev
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := fieldreader projectfile themecfg batchlines wavecheck

.PHONY: run test deps install-packages build sanitize fuzz bench format format-check test-windows windows \
        install deb

run: build
	./$(BUILD_DIR)/bin/vesk

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

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

build: deps
	@[ -f $(BUILD_DIR)/build.ninja ] || cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_DIR)

# The tests again, built with AddressSanitizer and UndefinedBehaviorSanitizer
# in a folder of their own.
sanitize: deps
	@[ -f build-asan/build.ninja ] || cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVESK_SANITIZE=ON \
	  -DVESK_WIN32_INSTALLER=OFF
	cmake --build build-asan
	cd build-asan && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/.ci/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure

# The standard C++ parts and their tests, cross-built for Windows with
# MinGW-w64 and run under Wine (in a prefix of the build's own), the real
# cmd.exe included. The last line counts the tests.
WINDOWS_PACKAGES := g++-mingw-w64-x86-64-posix wine64 googletest xvfb xauth
WINDOWS_BUILD := build-windows
test-windows: deps
	@$(MAKE) --no-print-directory install-packages WANTED="$(WINDOWS_PACKAGES)"
	@.ci/posix-headers
	@[ -f $(WINDOWS_BUILD)/build.ninja ] || cmake -S . -B $(WINDOWS_BUILD) -G Ninja \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
	cmake --build $(WINDOWS_BUILD)
	@export WINEPREFIX=$(CURDIR)/$(WINDOWS_BUILD)/wineprefix; \
	cd $(WINDOWS_BUILD) && { ctest -j2 --output-on-failure > ctest.log 2>&1; status=$$?; }; \
	cat ctest.log; /usr/lib/wine/wineserver -k 2>/dev/null || true; \
	total=$$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' ctest.log); \
	failed=$$(sed -n 's/.* \([0-9]*\) tests failed out of.*/\1/p' ctest.log); \
	skipped=$$(grep -c '(Skipped)' ctest.log || true); \
	passed=$$(( $${total:-0} - $${failed:-0} - $${skipped:-0} )); \
	echo "windows: $$passed passed, $${failed:-0} failed"; \
	[ "$$status" -eq 0 ] && [ "$${failed:-0}" -eq 0 ] && [ "$$passed" -gt 0 ]

# Installs vesk, vpak, vpak.exe, the menu entry, the icon, the *.vsk file type
# and the software centre's description under PREFIX. The build is configured
# for that prefix, since an installed editor keeps its settings per user.
PREFIX ?= /usr/local
install: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_INSTALL_PREFIX=$(PREFIX)
	cmake --build $(BUILD_DIR)
	$(SUDO) cmake --install $(BUILD_DIR) --prefix $(PREFIX)
	-command -v update-mime-database > /dev/null && $(SUDO) update-mime-database $(PREFIX)/share/mime
	-command -v update-desktop-database > /dev/null && $(SUDO) update-desktop-database $(PREFIX)/share/applications

# A Debian package of the same install, for /usr, its dependencies found by
# dpkg-shlibdeps: vesk_VERSION_ARCH.deb in this folder.
deb: deps
	@$(MAKE) --no-print-directory install-packages WANTED="dpkg-dev file"
	@[ -f build-deb/build.ninja ] || cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DBUILD_TESTING=OFF -DCMAKE_INSTALL_PREFIX=/usr
	cmake --build build-deb
	cd build-deb && cpack
	cp build-deb/vesk_*.deb .

# vpak.exe alone, for Windows players: build-windows/bin/vpak.exe.
windows: deps
	@$(MAKE) --no-print-directory install-packages WANTED="g++-mingw-w64-x86-64-posix"
	@[ -f $(WINDOWS_BUILD)/build.ninja ] || cmake -S . -B $(WINDOWS_BUILD) -G Ninja \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
	cmake --build $(WINDOWS_BUILD) --target vpak_win32

# The house layout (.clang-format) for every C++ file git knows of.
format: deps
	git ls-files --cached --others --exclude-standard '*.cpp' '*.h' | xargs clang-format -i

format-check: deps
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

# Each file reader under libFuzzer for FUZZ_SECONDS, from the seeds in fuzz/corpus.
fuzz: deps
	@$(MAKE) --no-print-directory install-packages WANTED="$(FUZZ_PACKAGES)"
	@[ -f build-fuzz/build.ninja ] || CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVESK_FUZZ=ON
	cmake --build build-fuzz
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
BENCH_PACKAGES := xauth
bench: deps
	@$(MAKE) --no-print-directory install-packages WANTED="$(BENCH_PACKAGES)"
	@[ -f build-release/build.ninja ] || cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
	  -DVESK_WIN32_INSTALLER=OFF
	cmake --build build-release --target vesk_bench vpak vesk minimal_qt vesk_startbench
	QT_QPA_PLATFORM=offscreen ./build-release/bin/vesk_bench
	xvfb-run -a -s "-screen 0 1280x1024x24" ./build-release/bin/vesk_startbench \
	  build-release/bin/vesk build-release/bin/vpak build-release/bin/minimal_qt
