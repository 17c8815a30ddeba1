# Thin wrapper over the CMake presets. Each target installs what it needs first (scripts/setup.sh):
# building alone needs the cross-compiler; running needs Wine too; the tests need everything.
SHELL := /bin/bash
.SHELLFLAGS := -eu -o pipefail -c

# What a target installs and whether its builds carry the tests; both pass on to the targets it needs
# (`make test` builds the executable with the tests configured, `make build` without them).
SETUP_LEVEL = build
TESTING = OFF
run: SETUP_LEVEL = run
test bench sweep art: SETUP_LEVEL = test
test bench: TESTING = ON

CONFIGURE = cmake --preset $(1) -DBUILD_TESTING=$(TESTING) >build/configure-$(1).log 2>&1 || \
	{ cat build/configure-$(1).log; exit 1; }

.PHONY: build release run test bench sweep setup clean art

setup:
	@scripts/setup.sh $(SETUP_LEVEL)

build: setup
	@mkdir -p build dist
	@$(call CONFIGURE,windows-i686)
	@cmake --build --preset windows-i686 --target orbelinchk
	@cp build/windows-i686/bin/orbelinchk.exe dist/orbelinchk.exe
	@sha256sum dist/orbelinchk.exe

# The release file: dist/orbelinchk.exe signed with Authenticode and verified, when a code-signing
# certificate is configured (ORBELINCHK_SIGN_PKCS12, ORBELINCHK_SIGN_PASSWORD_FILE, and optionally
# ORBELINCHK_TIMESTAMP_URL), else the unsigned build; and dist/SHA256SUMS for it (scripts/release.sh).
release: build
	@scripts/release.sh build/windows-i686/bin/orbelinchk.exe dist

# Builds every 32-bit target (tests included), runs the native tests, then the Windows-side tests
# under Wine, built for the architecture this machine's Wine can run (32-bit where possible).
test: build
	@cmake --build --preset windows-i686
	@$(call CONFIGURE,native)
	@cmake --build --preset native
	@ctest --preset native
	@arch=$$(scripts/wine-arch.sh); \
	 $(call CONFIGURE,windows-$$arch); \
	 cmake --build --preset windows-$$arch; \
	 ctest --preset windows-$$arch

run: build
	@scripts/run.sh

# Figures, not tests (scripts/bench.sh, one "name value unit" line each): the shipped .exe's size
# against its budget and what it is made of; start-up, memory and the cost of a check under Wine,
# against a bare window program; then the sweep.
bench: build
	@scripts/bench.sh size wine
	@$(MAKE) --no-print-directory sweep

# Every one of the 2^32 result codes through the report code, against an independent formatter.
sweep: setup
	@scripts/bench.sh sweep

# Redraws the icon and the button glyphs from their generator (the results are committed).
art: setup
	@/usr/bin/python3 resources/art/draw_art.py

clean:
	rm -rf build dist
