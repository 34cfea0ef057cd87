# make run   installs what is missing, builds, and starts the editor
# make test  installs what is missing, builds, runs every test, also under sanitizers, and
#            runs each fuzz target for FUZZ_SECONDS

BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
FUZZ_SECONDS ?= 60

.PHONY: run test deps build build-sanitize fuzz bench clean

run: build
	./build/bin/fontset-creator

test: build build-sanitize
	ctest --test-dir build --output-on-failure
	ctest --test-dir build-sanitize --output-on-failure
	$(MAKE) fuzz

deps:
	./scripts/install-deps.sh

build: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)
	cmake --build build

build-sanitize: deps
	cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKORVALIN_SANITIZE=ON \
		-DKORVALIN_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build build-sanitize

fuzz: deps
	cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DKORVALIN_BUILD_FUZZ=ON -DKORVALIN_SANITIZE=ON -DKORVALIN_BUILD_UI=OFF \
		-DKORVALIN_BUILD_TESTS=OFF -DKORVALIN_BUILD_BENCH=OFF
	cmake --build build-fuzz
	./fuzz/run-fuzzers.sh build-fuzz $(FUZZ_SECONDS)

bench: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DKORVALIN_BUILD_BENCH=ON $(CMAKE_FLAGS)
	cmake --build build
	./bench/run-all.sh build

clean:
	rm -rf build build-sanitize build-fuzz
