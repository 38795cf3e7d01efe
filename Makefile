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

.PHONY: deps configure build run demo test test-native test-windows windows-program package-windows test-package package install clean

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

# The native suite twice: under the neutral locale, and under the Russian one
# our users' desktops have (scripts/install-deps generates it).
test-native: build
	cd $(BUILD) && LANG=C.UTF-8 LC_ALL=C.UTF-8 ctest --output-on-failure -j $(JOBS)
	cd $(BUILD) && LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 LANGUAGE=ru ctest --output-on-failure -j $(JOBS)

# The native stopwatch emulator, which the Windows end-to-end tests run Wine under.
WINDOWS_E2E_EMULATOR = $(CURDIR)/$(BUILD)/tools/vorda2-emulator/vorda2-emulator

# The Windows cross build (the whole program, lumetra.exe, on the system's
# own controls) and its tests under Wine, the window tests on a virtual
# display. The .xls files it writes there are compared with those of the
# native build's sample writer, which is built first. The setup program is
# installed, started, upgraded and removed there too.
test-windows: configure package-windows
	cmake --build $(BUILD) -j $(JOBS) --target export_write_samples vorda2-emulator
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake \
	  -DLUMETRA_WINDOWS_SETUP=$(WINDOWS_SETUP) \
	  -DLUMETRA_LINUX_EXPORT_SAMPLE_WRITER=$(CURDIR)/$(BUILD)/tests/export/export_write_samples \
	  -DLUMETRA_STOPWATCH_EMULATOR=$(WINDOWS_E2E_EMULATOR)
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	scripts/wine-test $(WINDOWS_BUILD)

# The Windows program to hand out: build-windows-release/app/lumetra.exe,
# one file, no DLLs to ship.
windows-program: deps
	cmake -S . -B $(WINDOWS_BUILD)-release -DCMAKE_BUILD_TYPE=MinSizeRel -DBUILD_TESTING=OFF \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake
	cmake --build $(WINDOWS_BUILD)-release -j $(JOBS) --target lumetra
	x86_64-w64-mingw32-strip $(WINDOWS_BUILD)-release/app/lumetra.exe

# The Windows setup program to hand out (CPack, NSIS: packaging/windows/),
# carrying that lumetra.exe. The Windows tests install it under Wine.
WINDOWS_SETUP = $(CURDIR)/$(WINDOWS_BUILD)-release/lumetra-1.0-win64-setup.exe
package-windows: windows-program
	cd $(WINDOWS_BUILD)-release && cpack

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
	rm -rf build build-sanitize build-windows build-windows-release
