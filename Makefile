# The two set-up commands: `make demo` and `make check`. Both install what is missing first.
# `make check` runs the suite twice: in the plain build, then built with the address and undefined-behaviour
# sanitizers (scripts/check-sanitized). `make fuzz` runs every fuzz target for FUZZ_SECONDS each.
# `make install PREFIX=DIR` installs the programs, manual pages and completion under DIR (default /usr/local);
# `make package` writes the Debian package quillpress_<version>_<arch>.deb into the build directory.
# `make preview-screenshot` writes doc/preview.png, the README's picture of the sample's HTML preview.
BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
FUZZ_BUILD_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
PREFIX ?= /usr/local

.PHONY: all deps build check check-sanitized fuzz demo bench install package preview-screenshot clean

all: build

deps:
	@bash scripts/install-deps

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null
	cmake --build $(BUILD_DIR) -j $(JOBS)

check: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) check-sanitized

check-sanitized: deps
	JOBS=$(JOBS) bash scripts/check-sanitized $(SANITIZE_DIR)

fuzz: deps
	JOBS=$(JOBS) FUZZ_BUILD_DIR=$(FUZZ_BUILD_DIR) bash scripts/fuzz $(FUZZ_SECONDS)

demo: build
	bash scripts/demo $(BUILD_DIR)

bench: build
	bash scripts/bench $(BUILD_DIR)

install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

package: build
	cd $(BUILD_DIR) && cpack -G DEB

preview-screenshot: build
	python3 scripts/preview-screenshot $(BUILD_DIR) doc/preview.png

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_BUILD_DIR)
