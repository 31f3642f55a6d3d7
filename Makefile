# The two commands of the quick start: `make run` and `make test`.
HOST_DIR  := build/host
WIN32_DIR := build/win32
JOBS      ?= 2

.PHONY: run test release setup host win32 test-host test-windows fuzz bench clean

run: setup
	tools/run-setup.sh

test: host win32
	$(MAKE) --no-print-directory test-host
	$(MAKE) --no-print-directory test-windows

# The shipped Setup.exe in dist/ (tools/make-release.sh): built by the win32 preset, stripped, its
# debug file beside it, checksums, and signed when SIGN_CERT and SIGN_KEY name PEM files
# (SIGN_TIMESTAMP_URL: an RFC 3161 time stamp server). SETUP_DRIVER_FILES_DIR names the folder of
# the real driver files; left empty, the package holds the stand-ins.
release: setup
	cmake --preset win32 -DSETUP_DRIVER_FILES_DIR="$(SETUP_DRIVER_FILES_DIR)" >/dev/null
	cmake --build --preset win32 -j $(JOBS) --target Setup
	tools/make-release.sh $(WIN32_DIR) dist

setup:
	@tools/setup.sh

host: setup
	cmake --preset host >/dev/null
	cmake --build --preset host -j $(JOBS)

win32: setup
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 -j $(JOBS)

test-host:
	ctest --test-dir $(HOST_DIR) --output-on-failure -j $(JOBS)

test-windows:
	tools/run-windows-tests.sh

# The ZIP reader's fuzz target, run for FUZZ_SECONDS on a corpus that starts from tests/fuzz/corpus
# (kept in build/fuzz/corpus, so the source tree is never written).
FUZZ_SECONDS ?= 120
fuzz:
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS) --target zip_fuzz
	mkdir -p build/fuzz/corpus build/fuzz/run
	cp -n tests/fuzz/corpus/* build/fuzz/corpus/
	cd build/fuzz/run && ../zip_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=65536 -timeout=10 ../corpus

# Unpacking speed and heap use of the reader against other unpackers (tools/zip-bench.sh).
bench:
	tools/zip-bench.sh

clean:
	rm -rf build
