# make run           installs what is missing, builds, and starts the editor
# make test          installs what is missing, builds, runs every test, also under sanitizers
#                    and, cross-built for Windows, under Wine, and runs each fuzz target for
#                    FUZZ_SECONDS
# make windows       cross-builds the core, the packer, the native window and their tests
#                    with mingw-w64
# make test-windows  runs those tests under Wine
# make windows-package  zips the Windows editor, its packer and its default set for users
#                    (build-windows/package/)
# make install       builds only the programs, in build-install/, and installs them stripped
#                    for the current user under PREFIX
# make uninstall     removes what the installs wrote, in every prefix

BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
FUZZ_SECONDS ?= 60
# The recipes read the prefix from the environment, so no shell ever parses it: any path
# installs, blanks, quotes and ; included. A given one is taken as written, $ included.
ifeq ($(origin PREFIX),undefined)
PREFIX := $(HOME)/.local
else
override PREFIX := $(value PREFIX)
endif
export PREFIX

.PHONY: run test install uninstall deps install-deps build build-sanitize windows test-windows windows-package fuzz bench \
	check-format clean

run: build
	./build/bin/fontset-creator

test: build build-sanitize
	ctest --test-dir build --output-on-failure
	ctest --test-dir build-sanitize --output-on-failure
	$(MAKE) test-windows
	$(MAKE) fuzz

# Only what is installed is built: no tests, no benchmarks.
install: install-deps
	cmake -S . -B build-install -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORVALIN_BUILD_TESTS=OFF \
		-DKORVALIN_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build build-install
	cmake --install build-install --strip --prefix "$$PREFIX"

uninstall:
	python3 scripts/uninstall.py build-install

deps:
	./scripts/install-deps.sh

install-deps:
	./scripts/install-deps.sh --install

build: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)
	cmake --build build

build-sanitize: deps
	cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKORVALIN_SANITIZE=ON \
		-DKORVALIN_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build build-sanitize

# Debian has no Qt for Windows: the editor there is the native Win32 window.
windows: deps
	cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
		-DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DKORVALIN_WINDOW=Win32 -DKORVALIN_BUILD_BENCH=OFF \
		-DKORVALIN_HOST_FONT_TOOL="$(CURDIR)/build/bin/korvalin-font" $(CMAKE_FLAGS)
	cmake --build build-windows

windows-package: windows
	cd build-windows && cpack --config CPackConfig.cmake

# Wine's prefix lives in build-windows/wine-prefix, made on the first run and kept.
test-windows: windows
	ctest --test-dir build-windows --output-on-failure

fuzz: deps
	cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DKORVALIN_BUILD_FUZZ=ON -DKORVALIN_SANITIZE=ON -DKORVALIN_WINDOW=none \
		-DKORVALIN_BUILD_FONT_TOOL=OFF \
		-DKORVALIN_BUILD_TESTS=OFF -DKORVALIN_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build build-fuzz
	./fuzz/run-fuzzers.sh build-fuzz $(FUZZ_SECONDS)

check-format: deps
	./scripts/check-format.sh

bench: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DKORVALIN_BUILD_BENCH=ON $(CMAKE_FLAGS)
	cmake --build build
	./bench/run-all.sh build

clean:
	rm -rf build build-sanitize build-windows build-fuzz build-install
