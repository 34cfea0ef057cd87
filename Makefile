# make run   installs what is missing, builds, and starts the editor
# make test  installs what is missing, builds, and runs every test, also under sanitizers

BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=

.PHONY: run test deps build build-sanitize bench clean

run: build
	./build/bin/fontset-creator

test: build build-sanitize
	ctest --test-dir build --output-on-failure
	ctest --test-dir build-sanitize --output-on-failure

deps:
	./scripts/install-deps.sh

build: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)
	cmake --build build

build-sanitize: deps
	cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKORVALIN_SANITIZE=ON \
		-DKORVALIN_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build build-sanitize

bench: build
	./bench/run-all.sh build

clean:
	rm -rf build build-sanitize
