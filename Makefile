# SPDX-License-Identifier: GPL-3.0-or-later
# make run   installs what is missing, builds, and starts Pictrove
# make test  installs what is missing, builds, and runs the whole test suite
# make deb   builds the Debian package (build/pictrove_<version>_amd64.deb)
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_ARGS ?=
CTEST_ARGS ?=
# Worktrees share one compiler cache when paths are taken relative to the tree.
export CCACHE_BASEDIR ?= $(CURDIR)
export CCACHE_NOHASHDIR ?= 1

.PHONY: deps configure build run test bench deb clean

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
	  $$(command -v ccache >/dev/null 2>&1 && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache) \
	  $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD)

run: build
	$(BUILD)/src/pictrove

test: build
	cd $(BUILD) && ctest --output-on-failure --timeout 600 -j2 $(CTEST_ARGS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; $$b; done

deb: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD)
