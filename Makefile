# Front door. `make run` builds the programs and starts them (with the virtual
# mouse when no real one is attached); `make test` builds the sanitized test
# build and runs every test, fuzz target included; `make package` builds the
# Debian package.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
RUN_DIR := build/run
TEST_DIR := build/test
PACKAGE_DIR := build/package

.PHONY: deps build test run package bench clean

deps:
	bash scripts/install-deps.sh

build: deps
	cmake -G Ninja -S . -B $(RUN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMT_TESTS=OFF -DMT_BENCH=OFF
	cmake --build $(RUN_DIR) -j $(JOBS)

test: deps
	CC=clang CXX=clang++ cmake -G Ninja -S . -B $(TEST_DIR) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
	  -DMT_SANITIZE=ON -DMT_FUZZ=ON -DMT_BENCH=OFF
	cmake --build $(TEST_DIR) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(TEST_DIR) --output-on-failure -j $(JOBS) --timeout 600

run: build
	bash scripts/run-demo.sh $(RUN_DIR)/dist

package: deps
	cmake -G Ninja -S . -B $(PACKAGE_DIR) -DCMAKE_BUILD_TYPE=Release -DMT_TESTS=OFF -DMT_BENCH=OFF
	cmake --build $(PACKAGE_DIR) -j $(JOBS)
	rm -f $(PACKAGE_DIR)/*.deb
	cd $(PACKAGE_DIR) && cpack -G DEB
	@deb=$$(ls $(PACKAGE_DIR)/*.deb) && echo "Package: $$deb" && echo "Install it with: sudo apt install ./$$deb"

bench: deps
	cmake -G Ninja -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DMT_TESTS=OFF -DMT_BENCH=ON
	cmake --build build/bench -j $(JOBS)
	bash scripts/run-benchmarks.sh build/bench

clean:
	rm -rf build
