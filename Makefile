# `make run` and `make test` each do the whole set-up on a fresh Debian 12 machine.
.PHONY: run test build asan bench gui fuzz mutants clean gallery web web-serve

OUT ?= out

build:
	scripts/bootstrap build

run: build
	mkdir -p $(OUT)
	./build/kelmor run examples/cube.txt --out $(OUT) --seed 1
	@echo "Files written to $(OUT)/:" && ls $(OUT)

# The last step runs the batch's tests under ThreadSanitizer: any race report fails it (a
# kelmor started by those tests halts at its first report too).
test: build
	ctest --test-dir build --output-on-failure -j 2
	scripts/bootstrap asan
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir build-asan --output-on-failure -j 2
	scripts/bootstrap tsan
	TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" ./build-tsan/tests/kelmor_batch_tests

# The page: the engine in WebAssembly and a static site in build-web/site (docs/web.md).
web:
	scripts/bootstrap web

web-serve: web
	scripts/web-serve build-web/site

bench: build
	./build/bench/kelmor_bench

gallery: build
	scripts/gallery build

gui: build
	./build/kelmor

FUZZ_SECONDS ?= 60
# The parser, settings and OFF reader targets, FUZZ_SECONDS each, one after the other, each on every
# core (FUZZ_WORKERS=N for another number of processes); the last lines give each
# target's execution count.
fuzz:
	scripts/bootstrap fuzz
	scripts/fuzz $(FUZZ_SECONDS)

# Mutation check (not part of `make test`): each mutation of scripts/mutants.list in turn,
# rebuilt in build-mutants/, against the core tests. MUTANTS_ARGS="--only relax" for a subset.
mutants:
	scripts/bootstrap deps
	nice scripts/mutants $(MUTANTS_ARGS)

clean:
	rm -rf build build-asan build-tsan build-fuzz build-mutants build-web $(OUT)
