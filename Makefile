# Two entry points: `make run` and `make test`. Both install what is missing
# from Debian's packages first, so they work on a fresh machine.

PACKAGES := cmake ninja-build g++ make pkg-config \
            qt6-base-dev qt6-webengine-dev libgl-dev libicu-dev \
            libgtest-dev libgmock-dev libbenchmark-dev \
            clang libclang-rt-14-dev \
            xvfb xauth fonts-noto-cjk

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
JOBS ?= $(shell nproc)

.PHONY: deps build run test test-unit test-asan fuzz bench clean

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

run: build
	@if [ -n "$$DISPLAY" ] || [ -n "$$WAYLAND_DISPLAY" ]; then ./build/default/bin/zelmora; \
	else xvfb-run -a ./build/default/bin/zelmora; fi

test-unit: build
	ctest --preset default -j $(JOBS)

test: test-unit

clean:
	rm -rf build
