# The two commands of this project: `make run` and `make test`.
# Both install whatever Debian packages are missing first, so they work on a
# fresh Debian 12 machine as well as on one where everything is in place.

BUILD_DIR := build
PACKAGES := cmake ninja-build g++ pkg-config \
            qt6-base-dev qt6-multimedia-dev qt6-qpa-plugins libgl-dev \
            libgtest-dev fonts-dejavu-core fonts-liberation2

SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: run test deps build

run: build
	./$(BUILD_DIR)/bin/vesk

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
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
