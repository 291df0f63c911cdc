# make run   installs what is missing, builds, starts the window program
# make test  installs what is missing, builds, runs every test (and the storage tests under ASan+UBSan,
#            the storage fuzzers for a minute each, the JPEG, template, SIE and .bfr fuzzers for half
#            a minute each)
# make bench builds in Release and runs the storage engine against SQLite (BENCH_ARGS="--scale 0.1"
#            for a quick run)
# make bench-rebuild  builds in Release and times the rebuild of the largest bookkeeping
# make bench-table    builds in Release and measures the memory of the table's PDF and HTML
#                     writers on a ledger of 10 000 and 100 000 rows
# make bench-entry    builds in Release and times entering verifications, row log included
# make bench-sie      builds in Release and times a large SIE file read into a new bookkeeping
# make bench-reports  installs hledger and ledger, builds in Release and times the printed reports of
#            the largest bookkeeping, the ledger beside hledger's and ledger's registers
# make package  installs what is missing, builds, makes the Debian package build-package/bfnolk_*.deb and
#            checks it with lintian (errors fail the target)
JOBS ?= $(shell nproc)

.PHONY: run test deps build build-asan build-fuzz bench bench-rebuild bench-table bench-entry bench-sie bench-reports package

run: build
	./build/bin/bfnolkw64

test: build build-asan build-fuzz
	cd build && ctest --output-on-failure -j$(JOBS)
	cd build-asan && ctest --output-on-failure -j$(JOBS) -L storage
	cd build-fuzz && ctest --output-on-failure -j$(JOBS) -L fuzz

deps:
	@./tools/install-deps

build: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build -j$(JOBS)

build-asan: deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBFN_SANITIZE=ON
	cmake --build build-asan -j$(JOBS) --target storage_tests

build-fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBFN_FUZZ=ON
	cmake --build build-fuzz -j$(JOBS) --target fuzz_open fuzz_journal fuzz_jpeg fuzz_template fuzz_sie fuzz_bfr

bench: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build build-bench -j$(JOBS) --target storage_bench
	./build-bench/bin/storage_bench $(BENCH_ARGS)

bench-rebuild: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build build-bench -j$(JOBS) --target bookkeeping_bench
	./build-bench/bin/bookkeeping_bench $(BENCH_ARGS)

bench-table: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build build-bench -j$(JOBS) --target tabledisplay_bench
	./build-bench/bin/tabledisplay_bench $(BENCH_ARGS)

bench-entry: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build build-bench -j$(JOBS) --target entry_bench
	./build-bench/bin/entry_bench $(BENCH_ARGS)

bench-sie: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build build-bench -j$(JOBS) --target sie_import_bench
	./build-bench/bin/sie_import_bench $(BENCH_ARGS)

bench-reports: deps
	@./tools/install-deps bench/reports/packages.txt
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build build-bench -j$(JOBS) --target reports_bench
	./build-bench/bin/reports_bench $(BENCH_ARGS)

# Its own build folder builds only what the package holds: cpack installs without building the
# tests first.
# The package's programs get Debian's hardening flags as dpkg-buildflags gives them: fortified libc
# calls, the stack protector, and relocations made read-only once bound at start.
package: export DEB_BUILD_MAINT_OPTIONS = hardening=+all
package: deps
	@./tools/install-deps packaging/packages.txt
	cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
	  -DCMAKE_C_FLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CFLAGS)" \
	  -DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)"
	cmake --build build-package -j$(JOBS) --target bfnolk bfnolkw64 isamtool packaging_files
	cd build-package && cpack -G DEB
	lintian --fail-on error build-package/bfnolk_*.deb
