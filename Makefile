# SPDX-License-Identifier: GPL-3.0-or-later
# Thin wrapper around CMake. `make run` and `make test` install what is missing first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
JOBS       ?= $(shell nproc)
BENCH_REPS ?= 5
FUZZ_BUILD ?= build-fuzz
FUZZ_RUNS  ?= 200000

.PHONY: all deps build run test test-normal test-asan bench fuzz package package-check screenshot install clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/src/zanvo

test: deps test-normal test-asan

test-normal: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

$(ASAN_BUILD)/CMakeCache.txt:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DZANVO_SANITIZE=ON

test-asan: deps $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

$(BENCH_BUILD)/CMakeCache.txt:
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DZANVO_BUILD_TESTS=OFF -DZANVO_BUILD_BENCH=ON

# The repetitions of all cases run interleaved, so that a busy spell of the machine does
# not fall on one case alone and cases can be held against each other.
bench: deps $(BENCH_BUILD)/CMakeCache.txt
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	@set -e; for b in $(BENCH_BUILD)/bench/bench_*; do \
	    [ -f "$$b" ] && [ -x "$$b" ] || continue; echo "== $$b"; \
	    QT_QPA_PLATFORM=offscreen "$$b" --benchmark_repetitions=$(BENCH_REPS) --benchmark_report_aggregates_only=true \
	        --benchmark_enable_random_interleaving=true; \
	done

PACKAGE_BUILD ?= build-package
PACKAGE_CHECK ?= build-package-check

# The Debian package, built (and its tests run) by dpkg-buildpackage from a copy
# of the source: apt install ./build-package/zanvo_2.0.0_amd64.deb
package: deps
	DEB_BUILD_OPTIONS="parallel=$(JOBS) $$DEB_BUILD_OPTIONS" scripts/build-package $(PACKAGE_BUILD)

# The package as a distribution builds it: in a clean Debian 12 chroot, linted,
# its tests run on the installed package, and built twice for the same bytes.
# Not part of make test: it takes a good quarter of an hour.
package-check: deps
	scripts/install-deps --package-check
	scripts/package-check $(PACKAGE_CHECK)

install: build
	cmake --install $(BUILD)

screenshot: build
	scripts/screenshot $(BUILD)/src/zanvo

# The board-file codec and the CSV reader under libFuzzer (clang), a fixed number
# of inputs from a fixed seed each; new inputs collect in $(FUZZ_BUILD)/corpus*.
$(FUZZ_BUILD)/CMakeCache.txt:
	cmake -S fuzz -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug

fuzz: deps $(FUZZ_BUILD)/CMakeCache.txt
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	mkdir -p $(FUZZ_BUILD)/corpus $(FUZZ_BUILD)/corpus-csv
	$(FUZZ_BUILD)/fuzz_BoardFile -seed=1 -runs=$(FUZZ_RUNS) -max_len=4096 -malloc_limit_mb=1 \
	    -rss_limit_mb=1024 $(FUZZ_BUILD)/corpus fuzz/seeds
	$(FUZZ_BUILD)/fuzz_BoardCsv -seed=1 -runs=$(FUZZ_RUNS) -max_len=4096 -malloc_limit_mb=1 \
	    -rss_limit_mb=1024 $(FUZZ_BUILD)/corpus-csv fuzz/seeds-csv

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD) $(PACKAGE_CHECK)
