# make run   - install what is missing, build, and start Kestrel on $DISPLAY
# make test  - install what is missing, build and run every test, twice:
#              a normal build and an AddressSanitizer + UBSan build; then
#              run each fuzz target for about 30 s
# make check - the normal build's tests only (quicker, for development)
# make bench - build and run the benchmarks
# make fuzz  - build the libFuzzer targets with clang and run each for FUZZ_SECONDS (30)
# make pictures  - render the README's pictures into docs/pictures/
# make install   - install for this user (PREFIX=~/.local); PREFIX=/usr/local as root;
#                  DESTDIR=dir stages the files under dir for a package
# make package   - build the Debian package kestrel_VERSION_ARCH.deb (under /usr)
# make uninstall - remove it again; PURGE=1 also removes the settings and reports
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
PREFIX ?= $(HOME)/.local

.PHONY: run test check sanitize bench build deps-run deps-test clean install uninstall fuzz pictures package

run: deps-run
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DKESTREL_TESTS=OFF $(CMAKE_FLAGS) >/dev/null
	cmake --build build -j$(JOBS) --target kestrel
	./build/kestrel

test: deps-test
	$(MAKE) --no-print-directory check sanitize fuzz

# The tests run confined (tools/confined): / read-only, only the build folder,
# /tmp and /dev/shm writable; it says so, or warns where it cannot.
check: build
	cd build-test && ../tools/confined -w . ctest --output-on-failure -j$(JOBS) --timeout 300

sanitize:
	cmake -S . -B build-asan -DKESTREL_SANITIZE=ON $(CMAKE_FLAGS) >/dev/null
	cmake --build build-asan -j$(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		../tools/confined -w . ctest --output-on-failure -j$(JOBS) --timeout 600

build:
	cmake -S . -B build-test $(CMAKE_FLAGS) >/dev/null
	cmake --build build-test -j$(JOBS)

pictures: deps-test
	cmake -S . -B build-test $(CMAKE_FLAGS) >/dev/null
	cmake --build build-test -j$(JOBS) --target kestrel_screenshot
	mkdir -p docs/pictures
	for p in $$(build-test/tests/kestrel_screenshot --list); do \
		build-test/tests/kestrel_screenshot $$p docs/pictures/$$p.png || exit 1; done

fuzz:
	./tools/fuzz-all

bench: deps-test build
	./bench/run-all build-test

install: deps-run
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DKESTREL_TESTS=OFF $(CMAKE_FLAGS) >/dev/null
	cmake --build build -j$(JOBS) --target kestrel kestrel_icon
	DESTDIR="$(DESTDIR)" ./tools/install-kestrel install "$(PREFIX)" build

# The package's Kestrel never writes under /usr, not even as root: its
# settings and reports always go to ~/.local/state/kestrel.
package:
	@./tools/install-deps package
	cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DKESTREL_TESTS=OFF -DKESTREL_PER_USER_STATE=ON $(CMAKE_FLAGS) >/dev/null
	cmake --build build-package -j$(JOBS) --target kestrel kestrel_icon
	./tools/make-deb build-package .

uninstall:
	./tools/install-kestrel uninstall "$(PREFIX)" $(if $(PURGE),--purge)

deps-run:
	@./tools/install-deps run

deps-test:
	@./tools/install-deps test

clean:
	rm -rf build build-test build-asan build-fuzz build-package
