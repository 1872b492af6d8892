# The two set-up commands: `make demo` and `make check`. Both install what is missing first.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps build check demo bench clean

all: build

deps:
	@bash scripts/install-deps

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null
	cmake --build $(BUILD_DIR) -j $(JOBS)

check: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

demo: build
	bash scripts/demo $(BUILD_DIR)

bench: build
	bash scripts/bench $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR)
