# SPDX-License-Identifier: GPL-3.0-or-later
# The two set-up commands: `make demo` and `make check`. Both install what is missing first.
# `make demo` builds only the two programs and compiles the sample book with them. `make check` runs the suite
# built with the address and undefined-behaviour sanitizers (scripts/check-sanitized), after the tests that only
# the plain build can run; `make test` runs the whole suite in the plain build. `make fuzz` runs every fuzz target
# for FUZZ_SECONDS each.
# `make install PREFIX=DIR` installs the programs, manual pages and completion under DIR (default /usr/local);
# `make package` writes the Debian package quillpress_<version>_<arch>.deb into the build directory.
# WERROR=ON turns every compiler warning into an error, in both builds.
# `make preview-screenshot` writes doc/preview.png, the README's picture of the sample's HTML preview.
BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
FUZZ_BUILD_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
WERROR ?= OFF
PREFIX ?= /usr/local
# A new build tree uses Ninja (scripts/install-deps installs it); an existing tree keeps its generator.
export CMAKE_GENERATOR ?= Ninja

.PHONY: all deps configure programs build test check check-sanitized fuzz demo bench install package preview-screenshot clean

all: build

deps:
	@bash scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_COMPILE_WARNING_AS_ERROR=$(WERROR) \
	  $(CMAKE_FLAGS) >/dev/null

# quillpress and kovadump alone, without the tests and benchmarks.
programs: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target quillpress kovadump

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The whole suite in the plain build.
test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# The sanitizer build runs every test; the plain build adds those it cannot run (label plain): the install and
# package tests and the out-of-memory test.
check: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target plain_tests
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) -L '^plain$$'
	$(MAKE) check-sanitized

check-sanitized: deps
	JOBS=$(JOBS) WERROR=$(WERROR) bash scripts/check-sanitized $(SANITIZE_DIR)

fuzz: deps
	JOBS=$(JOBS) FUZZ_BUILD_DIR=$(FUZZ_BUILD_DIR) bash scripts/fuzz $(FUZZ_SECONDS)

demo: programs
	bash scripts/demo $(BUILD_DIR)

bench: build
	bash scripts/bench $(BUILD_DIR)

install: programs
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

package: programs
	cd $(BUILD_DIR) && cpack -G DEB

preview-screenshot: programs
	python3 scripts/preview-screenshot $(BUILD_DIR) doc/preview.png

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_BUILD_DIR)
