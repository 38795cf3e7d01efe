# Thin wrapper over CMake. The two commands that matter: `make demo` and `make test`.
JOBS      ?= 2
BUILD     ?= build
CMAKE_ARGS ?=
# The Windows cross build, whose tests run under Wine.
WINDOWS_BUILD ?= build-windows

ifeq ($(SANITIZE),1)
BUILD      := build-sanitize
CMAKE_ARGS += -DLUMETRA_SANITIZE=ON
endif

.PHONY: deps configure build run demo test test-native test-windows test-package package install clean

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	scripts/run-program $(BUILD)

demo: build
	scripts/run-demo $(BUILD)

test-native: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-windows: deps
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMETRA_CORE_ONLY=ON \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	scripts/wine-test $(WINDOWS_BUILD)

# The Debian package of the program (CPack), in $(BUILD)/.
package: build
	cd $(BUILD) && cpack

# Its file list, desktop entry, metadata, lintian, and (as root) an install
# and removal on this machine.
test-package: package
	tests/package/check-package $(BUILD)/lumetra_*_*.deb

# A sanitized build makes no package worth checking.
ifeq ($(SANITIZE),1)
test: test-native test-windows
else
test: test-native test-package test-windows
endif

# Installs the program and the stopwatch's udev rule, then has udev apply
# the rule to a stopwatch already plugged in (not when staging into DESTDIR).
install: build
	cmake --install $(BUILD)
	@if [ -z "$(DESTDIR)" ] && command -v udevadm >/dev/null; then \
	  udevadm control --reload-rules && udevadm trigger --subsystem-match=hidraw || true; \
	fi

clean:
	rm -rf build build-sanitize build-windows
