# The single entry point: `make demo` and `make test` on a fresh Debian 12 machine.
PACKAGES := cmake g++ make libgtest-dev libgmock-dev qt6-base-dev povray libeigen3-dev \
  nlohmann-json3-dev libpng-dev assimp-utils admesh blender pymol python3-numpy \
  clang libclang-rt-14-dev nodejs strace librsvg2-bin chromium pybind11-dev python3-dev \
  python3-pytest dpkg-dev file groff-base ninja-build
JOBS ?= $(shell nproc)
MAKEFLAGS += --no-print-directory
SUDO := $(if $(filter 0,$(shell id -u)),,sudo)

.PHONY: all deps build build-asan build-tsan build-fuzz test test-normal test-asan test-tsan fuzz \
  fuzz-merge demo gui bench package clean

all: build

# Installs only what is missing, so a machine that has everything hears nothing: Debian's
# packages, then the npm packages of package-lock.json (into node_modules/, again only when they
# are missing or the lock file changed).
deps:
	@missing=$$(for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed$$' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing >/dev/null; \
	fi
	@if [ ! -f node_modules/.package-lock.json ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then \
	  echo "Installing the npm packages of package-lock.json"; \
	  npm ci --no-audit --no-fund --loglevel=error >/dev/null; \
	fi

# A new build folder is made for Ninja, which compiles the sources of a library while those it
# depends on are still being linked; a folder made before keeps the generator it was made for.
generator = $(if $(wildcard $(1)/CMakeCache.txt),,-G Ninja)

build: deps
	@cmake -S . -B build $(call generator,build) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build -j $(JOBS)

build-asan: deps
	@cmake -S . -B build-asan $(call generator,build-asan) -DCMAKE_BUILD_TYPE=Debug \
	  -DLOBEWRIGHT_SANITIZE=ON -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" >/dev/null
	@cmake --build build-asan -j $(JOBS)

# The window's tests run on Qt's offscreen display, so no screen is needed.
test-normal: build
	@cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-asan: build-asan
	@cd build-asan && ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -LE 'consumer|sources'

# ThreadSanitizer over the tests of the threaded code: the sweeps and whole conversions. This
# build leaves the window out and hides Qt from CMake, so it also proves that the converter and
# the core build on a machine without Qt.
build-tsan: deps
	@cmake -S . -B build-tsan $(call generator,build-tsan) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DLOBEWRIGHT_THREAD_SANITIZE=ON -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
	  -DLOBEWRIGHT_WINDOW=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=TRUE >/dev/null
	@cmake --build build-tsan -j $(JOBS) --target mesh_tests app_tests lobewright-convert

# The two test programs run side by side, one a core. Left out: long loops over samples or
# damaged files that run on one thread, or whose threads other tests cover (under ThreadSanitizer
# they took a minute of the two).
TSAN_SKIPPED := SharedSamples.EveryLobeIsClosedOutwardAndManifoldAtScalesThreeToEight:MalformedInput.*
test-tsan: build-tsan
	@export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1; \
	build-tsan/bin/mesh_tests --gtest_brief=1 --gtest_filter=-$(TSAN_SKIPPED) \
	  > build-tsan/mesh_tests.log 2>&1 & mesh=$$!; \
	build-tsan/bin/app_tests --gtest_brief=1 --gtest_filter=-$(TSAN_SKIPPED) \
	  > build-tsan/app_tests.log 2>&1; app=$$?; \
	wait $$mesh; mesh=$$?; \
	cat build-tsan/mesh_tests.log build-tsan/app_tests.log; \
	[ $$mesh -eq 0 ] && [ $$app -eq 0 ]

# The suites run one after the other, each with the next suite's build beside it: tests leave a
# core idle while they wait on Chromium, Blender or POV-Ray, and the build takes it. The build's
# output goes to its log, shown if it fails; a failing or interrupted suite stops the build at
# once (the build runs in a session of its own, which Ctrl-C does not reach).
define tests_beside_build
	@mkdir -p $(2); echo "Building $(2) beside these tests (its log: $(2)/build.log)"
	@setsid -w $(MAKE) $(2) > $(2)/build.log 2>&1 & build=$$!; \
	trap 'kill -TERM -- -$$build 2>/dev/null' INT TERM; \
	if ! $(MAKE) $(1); then kill -TERM -- -$$build 2>/dev/null; wait $$build; exit 1; fi; \
	if ! wait $$build; then cat $(2)/build.log; echo "make $(2) failed (its log is above)."; exit 1; fi
endef

test: build
	$(call tests_beside_build,test-normal,build-asan)
	$(call tests_beside_build,test-asan,build-tsan)
	@$(MAKE) test-tsan

# Fuzzing: each target runs FUZZ_SECONDS in one process, one target after the other. New inputs
# go to build-fuzz/corpus/NAME, crashes and hangs to build-fuzz/artifacts/; the committed seeds
# in fuzz/corpus/NAME are read but not written. `make fuzz-merge` adds to the committed corpus
# only the new inputs that reach new code.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := mopac_reader parameter_table homo_lumo_locator command_line aux_reader out_reader \
  mgf_reader mo_selection

build-fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz $(call generator,build-fuzz) \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DLOBEWRIGHT_FUZZ=ON >/dev/null
	@cmake --build build-fuzz -j $(JOBS)

fuzz: build-fuzz
	@mkdir -p build-fuzz/artifacts
	@for name in $(FUZZ_TARGETS); do \
	  echo "== $$name: $(FUZZ_SECONDS) s"; \
	  mkdir -p build-fuzz/corpus/$$name && \
	  build-fuzz/bin/$${name}_fuzzer build-fuzz/corpus/$$name fuzz/corpus/$$name \
	    -dict=fuzz/$$name.dict -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 \
	    -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/$$name- || exit 1; \
	done

fuzz-merge: build-fuzz
	@for name in $(FUZZ_TARGETS); do \
	  build-fuzz/bin/$${name}_fuzzer -merge=1 fuzz/corpus/$$name build-fuzz/corpus/$$name || exit 1; \
	done

# The classic scene of formaldehyde, as the original design drew it, and a framed picture of
# caffeine's HOMO rendered without editing anything.
demo: build
	@mkdir -p demo
	@build/bin/lobewright-convert samples/formaldehyde.mno demo/formaldehyde-homo.pov \
	  --params samples/pm3r.txt --homo --quiet
	@build/bin/lobewright-convert samples/formaldehyde.mno demo/formaldehyde-homo.ls \
	  --params samples/pm3r.txt --homo --quiet
	@povray -D +W640 +H480 +Idemo/formaldehyde-homo.pov +Odemo/formaldehyde-homo.png >/dev/null 2>&1
	@build/bin/lobewright-convert samples/caffeine.mno demo/caffeine-homo.png \
	  --params samples/pm3r.txt --homo
	@build/bin/lobewright-convert samples/caffeine.mno demo/caffeine-levels.svg --diagram
	@build/bin/lobewright-convert samples/caffeine.mno demo/caffeine-gallery.png --gallery \
	  --params samples/pm3r.txt --quiet
	@build/bin/lobewright-convert samples/caffeine.mno demo/caffeine-homo.html \
	  --params samples/pm3r.txt --homo --quiet
	@echo "Wrote demo/formaldehyde-homo.pov, .png and .ls (the classic scene),"
	@echo "demo/caffeine-homo.png (a framed picture of caffeine's HOMO),"
	@echo "demo/caffeine-homo.html (a page of it that any browser shows, offline),"
	@echo "demo/caffeine-levels.svg (its MO energy levels) and demo/caffeine-gallery.png"

gui: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display to open the window on (try: xvfb-run make gui)."; exit 1; \
	fi
	@build/bin/lobewright

# Times the literal and the fast sweep, the watertight mesher on the bundled samples, then the
# classic and the exact model side by side on a steroid and a peptide, then coloured density
# surfaces of caffeine and the steroid, then whole converter runs where users wait, on MOPAC runs
# of the decks in bench/decks made once into build/bench-runs (several minutes).
bench: PACKAGES += mopac
bench: build
	@build/bin/sweep_bench samples caffeine.mno hexadecane.out
	@build/bin/mesh_bench samples caffeine.mno hexadecane.out
	@build/bin/model_bench bench/molecules
	@build/bin/colour_bench tests/data/aux/caffeine_PM7.aux bench/molecules/cholesterol_PM7.aux
	@bench/make_runs.sh build/bench-runs
	@build/bin/whole_run_bench build/bin/lobewright-convert bench/molecules build/bench-runs
	@build/bin/explorer_bench build/bench-runs/polyalanine30_PM7.aux

# The Debian package of the Release build: build/lobewright_VERSION_ARCH.deb, which
# `apt install ./build/lobewright_*.deb` installs.
package: build
	@cd build && cpack -G DEB

clean:
	rm -rf build build-asan build-tsan build-fuzz demo node_modules
