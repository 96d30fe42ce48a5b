# Sourced by tests/web/run and tools/web-bench: installs the test library from
# tests/web/package-lock.json into build-web/test-node/ (once per lock file)
# and points NODE_PATH at it.
modules=build-web/test-node
if ! cmp -s tests/web/package-lock.json "$modules/package-lock.json"; then
    rm -rf "$modules" && mkdir -p "$modules"
    cp tests/web/package.json tests/web/package-lock.json "$modules/"
    (cd "$modules" && npm ci --no-audit --no-fund --loglevel=error)
fi
export NODE_PATH="$PWD/$modules/node_modules"
