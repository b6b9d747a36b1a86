# Two commands set everything up on a fresh Debian machine:
#   make demo   installs, builds and relays a game between a simulated puppet and GNU Go
#   make test   installs, builds all three builds and runs every test
JOBS ?= $(shell nproc)
CMAKE ?= cmake -G Ninja

.PHONY: all deps native win32 win64 tsan release test fuzz demo e2e bench dist zip format clean

all: native

deps:
	@bash scripts/install-deps.sh

native: deps win64
	$(CMAKE) -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DTOVARIN_SANITIZE=ON \
	  -DTOVARIN_WIN64_DIR=$(CURDIR)/build/win64
	cmake --build build/native -j $(JOBS)

release: deps
	$(CMAKE) -S . -B build/release -DCMAKE_BUILD_TYPE=Release
	cmake --build build/release -j $(JOBS)

tsan: deps
	$(CMAKE) -S . -B build/tsan -DCMAKE_BUILD_TYPE=Debug -DTOVARIN_TSAN=ON
	cmake --build build/tsan -j $(JOBS)

# The 32-bit build is what users get: every warning is an error there.
win32: deps
	$(CMAKE) -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
	  -DTOVARIN_WERROR=ON
	cmake --build build/win32 -j $(JOBS)

win64: deps
	$(CMAKE) -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
	cmake --build build/win64 -j $(JOBS)

test: dist win64 tsan native fuzz
	cd build/tsan && ctest --output-on-failure -j $(JOBS)
	cd build/native && ctest --output-on-failure -j $(JOBS) -LE wine_e2e

# The link library's protocol engine under libFuzzer, for a bounded time.
fuzz: deps
	sh tests/duelcom/fuzz/run.sh $(CURDIR)/build/fuzz 20

# The demo runs in build/demo, a working folder of its own holding the pictures;
# the records and screens of its games are left there.
# Only what the demo runs is built: tovarin-sim and the programs beside it.
demo: deps
	$(CMAKE) -S . -B build/release -DCMAKE_BUILD_TYPE=Release
	cmake --build build/release -j $(JOBS) --target tovarin-sim tovarin_sim_companions
	rm -rf build/demo && mkdir -p build/demo && cp -r bmp build/demo/
	cd build/demo && ../release/sim/tovarin-sim --out . $(DEMO_ARGS)
	@cd build/demo && echo "Records and screens in build/demo:" \
	  $$(ls game-*.sgf kifu/*.sgf kifu/*.txt gnugo-*.sgf gtp/*.sgf partner/game-*.sgf screen-*.png 2>/dev/null)

# Every profile in both colours against GNU Go (make test plays one colour each),
# in two shards side by side; the link on a bad cable, every packet of a game lost
# in turn and more seeds of damaged bytes; then, under Wine (the tests labelled wine_e2e), a
# game of every profile, two Windows programs against each other and a puppet
# killed in mid-game.
e2e: native
	cd build/native && pids=; for shard in 0 1; do \
	  TOVARIN_E2E=all GTEST_TOTAL_SHARDS=2 GTEST_SHARD_INDEX=$$shard \
	    tests/sim/sim_test --gtest_filter='EveryProfile/*' > e2e-$$shard.log 2>&1 & \
	  pids="$$pids $$!"; \
	done; status=0; for pid in $$pids; do wait $$pid || status=1; done; \
	grep -h -E '^\[ *(PASSED|FAILED) ' e2e-0.log e2e-1.log; \
	TOVARIN_E2E=all tests/duelcom/duelcom_real_line_test > e2e-line.log 2>&1 || status=1; \
	grep -h -E '^\[ *(PASSED|FAILED) ' e2e-line.log; \
	TOVARIN_E2E=all ctest --output-on-failure -L wine_e2e || status=1; exit $$status

bench: release
	@for b in build/release/bench/bench_*; do echo "== $$b"; $$b; done

# The Windows deliverable: the 32-bit tovarin.exe, duelcom.dll and duelcom-gtp.exe
# with the pictures and the README, zipped; then the zip is unpacked and checked,
# and its duelcom-gtp.exe must print its usage under Wine (a Wine that runs no
# 32-bit program takes the x86_64 build's, packed the same way, instead).
dist: win32 win64
	scripts/dist.sh build/win32 build/Tovarin-win32.zip
	scripts/dist-check.sh build/Tovarin-win32.zip build/win64

zip: dist

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
