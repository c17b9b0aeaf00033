# The two commands of the README. Each installs the Debian packages that are
# missing and configures; `run` builds the program alone and starts it on the
# simulated evaluation board, `test` builds everything (the tests and
# benchmarks too) and runs every test through ctest.

BUILD_DIR ?= build
ASAN_DIR ?= build-asan
JOBS ?= $(shell nproc)
PACKAGES = cmake g++ make pkg-config qt6-base-dev qt6-base-private-dev qt6-charts-dev \
           libhidapi-dev libgtest-dev libgmock-dev libbenchmark-dev locales
# Both commands configure build/ with the same flags, warnings as errors
# included, so a `make test` after a `make run` builds only what the program
# does not need (the tests and benchmarks), never the program's libraries again.
WERROR = -DKVB_WERROR=ON
SUDO = $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: run test program build configure sanitized deps clean

run: program
	./$(BUILD_DIR)/kvb71853eval --simulated-board

test: build sanitized
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 300
	cd $(ASAN_DIR) && ctest --output-on-failure -j $(JOBS) --timeout 300

# The core tests again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitized: deps
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKVB_SANITIZE=ON $(WERROR)
	cmake --build $(ASAN_DIR) -j $(JOBS) --target core_tests

# The program's own target and the libraries it links, nothing else.
program: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target kvb71853eval

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(WERROR)

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR)
