# Sourced by the package tests: check NAME CONDITION evaluates CONDITION (shell text)
# and prints "ok - NAME" or "not ok - NAME", counting the failures in $failures.
failures=0
check() {
    if eval "$2"; then
        echo "ok - $1"
    else
        echo "not ok - $1"
        failures=$((failures + 1))
    fi
}
