# The two entry points: `make demo` and `make check`. Both install whatever
# Debian packages are missing first.
BUILD ?= build
JOBS  ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build check demo asan fuzz bench clean

all: build

deps:
	@./scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

check: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

demo: build
	./scripts/demo $(BUILD)

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
asan:
	$(MAKE) check BUILD=build-asan CMAKE_FLAGS="-DSEATWATCH_SANITIZE=ON -DSEATWATCH_BENCH=OFF"

# libFuzzer targets (clang).
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DSEATWATCH_FUZZ=ON -DSEATWATCH_BENCH=OFF
	cmake --build build-fuzz -j $(JOBS)

clean:
	rm -rf build build-asan build-fuzz
