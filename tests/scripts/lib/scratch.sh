# Shared by the scripts that run the game without a window. Sourced with the script's own
# arguments (<hearthly> <hearthly-replay> <test data dir>), it makes a scratch folder in work,
# removed at exit, and defines fail.

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# In a sanitizer build, leaks are checked at exit; the data folder lists the one let pass.
export LSAN_OPTIONS="suppressions=$3/leaks.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
