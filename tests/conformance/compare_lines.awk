# Compares the layer's probe output (the input) with the Windows probe's (-v windows=FILE) line
# by line, against the known differences (-v known=FILE, lines "REASON | CALL", # comments).
# Prints the figures and every problem; the exit status is 1 on any problem: an unlisted
# difference, a listed call that is equal or never probed, outputs out of step, a bad entry.
function key_of(line) { return substr(line, 1, index(line, " => ") - 1) }
BEGIN {
    while ((getline entry < known) > 0) {
        if (entry ~ /^#/ || entry ~ /^[ \t]*$/) continue
        split_at = index(entry, " | ")
        if (split_at == 0) { print "malformed entry in known differences: " entry; bad = 1; continue }
        call = substr(entry, split_at + 3)
        if (call in reason) { print "listed twice: " call; bad = 1 }
        reason[call] = substr(entry, 1, split_at - 1)
    }
}
{
    if ((getline other < windows) <= 0) { print "the Windows probe printed fewer lines"; bad = stopped = 1; exit }
    ++compared
    call = key_of($0)
    if (call != key_of(other)) {
        print "out of step at line " NR ":\n  layer:   " $0 "\n  windows: " other
        bad = stopped = 1
        exit
    }
    if ($0 == other) {
        ++equal
        if (call in reason) { print "listed but equal now: " call; bad = 1; equal_calls[call] = 1 }
        next
    }
    if (call in reason) {
        ++by_reason[reason[call]]
        ++differences
        seen[call] = 1
        next
    }
    print "unexplained difference:\n  layer:   " $0 "\n  windows: " other
    ++unexplained
    bad = 1
}
END {
    if (stopped) exit 1
    if ((getline other < windows) > 0) { print "the Windows probe printed more lines"; bad = 1 }
    for (call in reason) if (!(call in seen) && !(call in equal_calls)) { print "listed but never probed: " call; bad = 1 }
    printf "%d lines compared, %d equal, %d known differences", compared, equal, differences
    if (unexplained) printf ", %d unexplained", unexplained
    printf "\n"
    for (r in by_reason) printf "  %s: %d\n", r, by_reason[r] | "sort"
    close("sort")
    exit bad
}
