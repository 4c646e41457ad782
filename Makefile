# The two commands of the README, and the helpers around them.
#   make play    install what is missing, build a Release binary and start the game
#   make test    install what is missing, build and run every test
.PHONY: play test deps build lint format bench soak screenshots package clean

JOBS ?= $(shell nproc)
RELEASE_DIR := build/release
TEST_DIR := build/test

deps:
	@scripts/install-deps.sh

$(RELEASE_DIR)/zendorak: deps
	cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release -DZENDORAK_TESTS=OFF -DZENDORAK_BENCHMARKS=OFF >/dev/null
	cmake --build $(RELEASE_DIR) -j $(JOBS) --target zendorak

build: $(RELEASE_DIR)/zendorak

play: build
	$(RELEASE_DIR)/zendorak

test: deps
	cmake -S . -B $(TEST_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZENDORAK_WERROR=ON >/dev/null
	cmake --build $(TEST_DIR) -j $(JOBS)
	cd $(TEST_DIR) && ctest --output-on-failure -j $(JOBS)
	JOBS=$(JOBS) scripts/sanitize.sh build/asan
	JOBS=$(JOBS) scripts/fuzz.sh 60 build/fuzz

lint: deps
	cmake -S . -B $(TEST_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	scripts/lint.sh $(TEST_DIR)

format:
	find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

bench: deps
	cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release -DZENDORAK_BENCHMARKS=ON >/dev/null
	cmake --build $(RELEASE_DIR) -j $(JOBS) --target zendorak_bench
	$(RELEASE_DIR)/bench/zendorak_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

screenshots: deps
	cmake -S . -B $(TEST_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZENDORAK_WERROR=ON >/dev/null
	cmake --build $(TEST_DIR) -j $(JOBS) --target zendorak zendorak_window_probe
	scripts/screenshots.sh $(TEST_DIR)

package: deps
	cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release -DZENDORAK_TESTS=OFF >/dev/null
	cmake --build $(RELEASE_DIR) -j $(JOBS)
	cd $(RELEASE_DIR) && cpack -G DEB

# A million frames of random play over ten seeds, every frame checked.
soak: deps
	cmake -S . -B build/soak -DCMAKE_BUILD_TYPE=Release -DZENDORAK_GAME=OFF -DZENDORAK_BENCHMARKS=OFF >/dev/null
	cmake --build build/soak -j $(JOBS) --target zendorak_soak
	build/soak/tests/soak/zendorak_soak --frames 1000000 --seeds 1-10

clean:
	rm -rf build
