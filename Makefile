# Two commands for a fresh Debian 12 machine:
#   make run   installs what is missing, builds and starts the application
#   make test  installs what is missing, builds and runs every test headless
# Extras: make sanitize (the suite under AddressSanitizer + UBSan, and a
#         batch run with every format under ThreadSanitizer),
#         make fuzz (libFuzzer on the study file reader and conversions, the samples file reader
#         and the .lin study reader),
#         make bench (Google Benchmark medians of the engine and the graphs,
#         the batch against a loop of commands, single commands against R),
#         make mutate (the suite against the hand-made faults of tests/mutation).

PACKAGES := cmake make g++ qt6-base-dev libgl-dev libgtest-dev googletest libboost-math-dev libgmp-dev libmpfr-dev nettle-dev \
            libbenchmark-dev fonts-liberation qt6-translations-l10n qt6-svg-dev xvfb xauth \
            desktop-file-utils appstream poppler-utils strace locales \
            openbox x11-utils
FUZZ_PACKAGES := clang libclang-rt-14-dev
DEB_PACKAGES := dpkg-dev file lintian
JOBS := $(shell nproc 2>/dev/null || echo 2)
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
FUZZ_SECONDS ?= 60

.PHONY: deps build run test sanitize fuzz fuzz-axes bench deb mutate golden

deps:
	@missing=""; for p in $(PACKAGES) $(EXTRA_PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Instalando:$$missing"; \
	  $(SUDO) apt-get update && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	fi
	@# The tests read and write studies under a comma locale too.
	@locale -a 2>/dev/null | grep -qix 'es_ES.utf-\?8' || { \
	  $(SUDO) sed -i 's/^# *es_ES.UTF-8 UTF-8/es_ES.UTF-8 UTF-8/' /etc/locale.gen && \
	  grep -qx 'es_ES.UTF-8 UTF-8' /etc/locale.gen || echo 'es_ES.UTF-8 UTF-8' | $(SUDO) tee -a /etc/locale.gen >/dev/null; \
	  $(SUDO) locale-gen; }

build: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build -j$(JOBS)

run: build
	./build/linealidad

test: build
	cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

sanitize: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DLINEALIDAD_SANITIZE=ON
	cmake --build build-asan -j$(JOBS)
	cd build-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)
	@# A batch run with every format, its workers under ThreadSanitizer.
	cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLINEALIDAD_BENCH=OFF \
	  -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer"
	cmake --build build-tsan --target linealidad linealidad_gui -j$(JOBS)
	sh tests/cli/batch_threads.sh $(CURDIR)/build-tsan/linealidad $(CURDIR)/tests/data

fuzz:
	$(MAKE) deps EXTRA_PACKAGES="$(FUZZ_PACKAGES)"
	mkdir -p build-fuzz fuzz/corpus
	clang++ -std=c++20 -O1 -g -Isrc -fsanitize=fuzzer,address,undefined \
	  fuzz/fuzz_study_file.cpp src/stats/*.cpp -lgmpxx -lmpfr -lgmp -o build-fuzz/fuzz_study_file
	cp -n fuzz/seeds/* fuzz/corpus/ 2>/dev/null || true
	./build-fuzz/fuzz_study_file -max_total_time=$(FUZZ_SECONDS) -max_len=4096 -artifact_prefix=build-fuzz/ fuzz/corpus
	@# The samples file reader.
	clang++ -std=c++20 -O1 -g -Isrc -fsanitize=fuzzer,address,undefined \
	  fuzz/fuzz_samples_file.cpp src/stats/*.cpp -lgmpxx -lmpfr -lgmp -o build-fuzz/fuzz_samples_file
	mkdir -p fuzz/corpus-samples
	cp -n fuzz/seeds-samples/* fuzz/corpus-samples/ 2>/dev/null || true
	./build-fuzz/fuzz_samples_file -max_total_time=$(FUZZ_SECONDS) -max_len=8192 -timeout=10 -artifact_prefix=build-fuzz/ fuzz/corpus-samples
	@# The .lin study reader and writer.
	clang++ -std=c++20 -O1 -g -Isrc -fsanitize=fuzzer,address,undefined \
	  fuzz/fuzz_lin_file.cpp src/cli/linfile.cpp src/cli/json.cpp src/stats/*.cpp -lgmpxx -lmpfr -lgmp \
	  -o build-fuzz/fuzz_lin_file
	mkdir -p fuzz/corpus-lin
	cp -n fuzz/seeds-lin/* fuzz/corpus-lin/ 2>/dev/null || true
	./build-fuzz/fuzz_lin_file -max_total_time=$(FUZZ_SECONDS) -max_len=16384 -timeout=10 -artifact_prefix=build-fuzz/ fuzz/corpus-lin

# The graph options' limits and the axis computation (no Qt).
fuzz-axes:
	$(MAKE) deps EXTRA_PACKAGES="$(FUZZ_PACKAGES)"
	mkdir -p build-fuzz fuzz/corpus-axes
	clang++ -std=c++20 -O1 -g -Isrc -fsanitize=fuzzer,address,undefined \
	  fuzz/fuzz_graph_axes.cpp src/render/axisscale.cpp src/stats/*.cpp -lgmpxx -lmpfr -lgmp -o build-fuzz/fuzz_graph_axes
	./build-fuzz/fuzz_graph_axes -max_total_time=$(FUZZ_SECONDS) -max_len=256 -artifact_prefix=build-fuzz/ fuzz/corpus-axes

bench: build
	$(MAKE) deps EXTRA_PACKAGES="time r-base-core"
	./build/bench/stats_bench --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
	./build/bench/graph_bench --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
	sh bench/batch_bench.sh ./build/linealidad tests/data
	sh bench/versus_r.sh ./build/linealidad tests/data
	sh bench/profile_versus_r.sh ./build/linealidad tests/data
	sh bench/lin_bench.sh ./build/linealidad
	QT_QPA_PLATFORM=offscreen ./build/bench/editor_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

# The Debian package, build/linealidad_<version>_<arch>.deb
deb:
	$(MAKE) deps EXTRA_PACKAGES="$(DEB_PACKAGES)"
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build -j$(JOBS)
	cd build && cpack -G DEB
	lintian --fail-on error,warning build/linealidad_*.deb

# Each hand-made fault of tests/mutation/mutants.txt applied to a copy of the
# sources in build-mutate/, built, and the suite run until its first failure;
# prints which faults the tests catch (killed) and which they miss (survived).
mutate:
	$(MAKE) deps EXTRA_PACKAGES="python3 ccache"
	python3 tests/mutation/mutate.py $(if $(ONLY),--only $(ONLY))

# The reviewed outputs of the worked studies written anew from this build:
# read `git diff tests/golden` before committing them.
golden: build
	tests/golden/outputs.sh build/linealidad --update
