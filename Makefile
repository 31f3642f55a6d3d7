# The two commands of the quick start: `make run` and `make test`.
HOST_DIR  := build/host
WIN32_DIR := build/win32
JOBS      ?= 2

.PHONY: run test setup host win32 test-host test-windows clean

run: win32
	tools/run-setup.sh $(WIN32_DIR)

test: host win32
	$(MAKE) --no-print-directory test-host
	$(MAKE) --no-print-directory test-windows

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

clean:
	rm -rf build
