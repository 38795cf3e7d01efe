# Thin wrapper over CMake and Ninja. The two commands that matter: `make demo`
# and `make test`. Each target first installs the packages of its purpose
# (scripts/install-deps): the program's for build, run, demo and package, all
# of them for the tests.
JOBS      ?= $(shell nproc)
BUILD     ?= build
CMAKE_ARGS ?=
# The Windows cross builds, whose tests run under Wine: 64-bit, and 32-bit
# beside it.
WINDOWS_BUILD ?= build-windows
WINDOWS_BUILD_32 = $(WINDOWS_BUILD)-32
# BUILD as given, before SANITIZE=1 moves the native build beside it.
PLAIN_BUILD := $(BUILD)

ifeq ($(SANITIZE),1)
override BUILD := $(PLAIN_BUILD)-sanitize
override CMAKE_ARGS += -DLUMETRA_SANITIZE=ON
endif

# The native build; scripts/configure sets it up for Ninja, an older folder too.
CONFIGURE_NATIVE = scripts/configure $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

.PHONY: deps build build-tests run demo test test-native test-windows windows-program package-windows \
        test-package package install clean

# Every group of packages.
deps:
	scripts/install-deps

# The program and its stopwatch emulator, without the tests: a build that
# needs none of the test packages. It shares its folder with build-tests,
# each configuring it for itself.
build:
	scripts/install-deps program
	$(CONFIGURE_NATIVE) -DBUILD_TESTING=OFF
	cmake --build $(BUILD) -j $(JOBS)

# The same with the tests and the benchmarks.
build-tests:
	scripts/install-deps test
	$(CONFIGURE_NATIVE) -DBUILD_TESTING=ON
	cmake --build $(BUILD) -j $(JOBS)

run: build
	scripts/run-program $(BUILD)

demo: build
	scripts/run-demo $(BUILD)

# The native suite under the neutral locale, then again under the Russian one
# our users' desktops have (scripts/install-deps generates it): only the
# tests labelled locale, whose results depend on it.
test-native: build-tests
	cd $(BUILD) && LANG=C.UTF-8 LC_ALL=C.UTF-8 ctest --output-on-failure -j $(JOBS)
	cd $(BUILD) && LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 LANGUAGE=ru ctest --output-on-failure -j $(JOBS) -L locale

# The native stopwatch emulator, which the Windows end-to-end tests run Wine under.
WINDOWS_E2E_EMULATOR = $(CURDIR)/$(BUILD)/tools/vorda2-emulator/vorda2-emulator

# The Windows cross builds (the whole program, lumetra.exe, on the system's
# own controls) and their tests under Wine, the window tests on a virtual
# display: the 64-bit build's whole suite in 64-bit prefixes, then the 32-bit
# build's whole suite in 32-bit ones (scripts/wine-test). The .xls files they
# write there are compared with those of the native build's
# sample writer, which build-tests makes. The one setup program is
# installed, started, upgraded and removed in both.
# $(call configure-windows-tests,FOLDER,TARGET,SETUP)
configure-windows-tests = scripts/configure $(1) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-$(2).cmake \
	  -DLUMETRA_WINDOWS_SETUP=$(3) \
	  -DLUMETRA_LINUX_EXPORT_SAMPLE_WRITER=$(CURDIR)/$(BUILD)/tests/export/export_write_samples \
	  -DLUMETRA_STOPWATCH_EMULATOR=$(WINDOWS_E2E_EMULATOR)
#
# Where scripts/install-deps could not install 32-bit Wine (it warns), no
# 32-bit Windows program runs here: the 32-bit suite and the setup program's
# test (the setup program is 32-bit) are built but not run, and say so.
WINE32_INSTALLED = dpkg-query -W -f='$${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'
NOT_RUN = echo "make test: NOT RUN, no 32-bit Wine (wine32:i386; see scripts/install-deps):"
test-windows: build-tests package-windows
	@setup=$(WINDOWS_SETUP); \
	if ! $(WINE32_INSTALLED); then setup=; $(NOT_RUN) "the setup program's test" >&2; fi; \
	$(call configure-windows-tests,$(WINDOWS_BUILD),x86_64,$$setup)
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	scripts/wine-test $(WINDOWS_BUILD)
	$(call configure-windows-tests,$(WINDOWS_BUILD_32),i686,$(WINDOWS_SETUP))
	cmake --build $(WINDOWS_BUILD_32) -j $(JOBS)
	@if $(WINE32_INSTALLED); then scripts/wine-test $(WINDOWS_BUILD_32); else $(NOT_RUN) "the 32-bit Windows suite" >&2; fi

# The Windows programs to hand out, one file each, no DLLs to ship:
# build-windows-release/app/lumetra.exe (64-bit) and
# build-windows-32-release/app/lumetra.exe (32-bit).
# $(call windows-program,FOLDER,TARGET)
define windows-program
	scripts/configure $(1) -DCMAKE_BUILD_TYPE=MinSizeRel -DBUILD_TESTING=OFF \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-$(2).cmake $(3)
	cmake --build $(1) -j $(JOBS) --target lumetra
	$(2)-w64-mingw32-strip $(1)/app/lumetra.exe
endef
windows-program:
	scripts/install-deps windows
	$(call windows-program,$(WINDOWS_BUILD_32)-release,i686)
	$(call windows-program,$(WINDOWS_BUILD)-release,x86_64,-DLUMETRA_WINDOWS_32BIT_BUILD=$(CURDIR)/$(WINDOWS_BUILD_32)-release)

# The one Windows setup program to hand out (CPack, NSIS: packaging/windows/),
# carrying both programs. The Windows tests install it under Wine.
WINDOWS_SETUP = $(CURDIR)/$(WINDOWS_BUILD)-release/lumetra-1.0-setup.exe
package-windows: windows-program
	cd $(WINDOWS_BUILD)-release && cpack

# The Debian package of the program (CPack), in $(BUILD)/.
package: build
	scripts/install-deps package
	cd $(BUILD) && cpack

# The same package from the test build, then its file list, desktop entry,
# metadata, lintian, and (as root) an install and removal on this machine.
test-package: build-tests
	cd $(BUILD) && cpack
	tests/package/check-package $(BUILD)/lumetra_*_*.deb

# A sanitized build makes no package worth checking.
ifeq ($(SANITIZE),1)
test: test-native test-windows
else
test: test-native test-package test-windows
endif

# Installs what an earlier `make build` (or `make test`) built, compiling
# nothing: build as yourself, then `sudo make install`. Installs the program
# and the stopwatch's udev rule, then has udev apply the rule to a stopwatch
# already plugged in (not when staging into DESTDIR). The list of installed
# files that CMake leaves in the build folder stays the builder's.
install:
	@if [ ! -f $(BUILD)/cmake_install.cmake ] || [ ! -x $(BUILD)/app/lumetra ]; then \
	  echo "make install: nothing built in $(BUILD)/. Build first as yourself (make build), then run make install." >&2; \
	  exit 1; \
	fi
	cmake --install $(BUILD)
	@if [ "$$(id -u)" -eq 0 ] && [ -f $(BUILD)/install_manifest.txt ]; then \
	  chown --reference=$(BUILD) $(BUILD)/install_manifest.txt; \
	fi
	@if [ -z "$(DESTDIR)" ] && command -v udevadm >/dev/null; then \
	  udevadm control --reload-rules && udevadm trigger --subsystem-match=hidraw || true; \
	fi

# The build folders in use: BUILD with its sanitized twin, and the Windows
# builds of both bitnesses with their release twins. A folder without a CMake cache is no build folder
# of ours and stays.
clean:
	@for folder in $(PLAIN_BUILD) $(PLAIN_BUILD)-sanitize $(WINDOWS_BUILD) $(WINDOWS_BUILD)-release \
	              $(WINDOWS_BUILD_32) $(WINDOWS_BUILD_32)-release; do \
	  if [ -f "$$folder/CMakeCache.txt" ]; then echo "rm -rf $$folder"; rm -rf "$$folder"; \
	  elif [ -e "$$folder" ]; then echo "make clean: $$folder holds no CMake build; left alone" >&2; fi; \
	done
