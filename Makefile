# Thin wrapper around CMake. `make run` builds and starts the engine,
# `make test` builds and runs every test.
BUILD ?= build
JOBS ?= 2

.PHONY: all build run test sanitize bench clean

all: build

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/kelpin

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The whole test suite once more under AddressSanitizer and UBSan.
sanitize:
	cmake -S . -B build-san -DCMAKE_BUILD_TYPE=Debug -DKELPIN_SANITIZE=ON
	cmake --build build-san -j $(JOBS)
	cd build-san && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) build-san
