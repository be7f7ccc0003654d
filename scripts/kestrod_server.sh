# Sourced by the scripts that run a kestrod of their own (tests, benchmarks, pictures).
#   start_kestrod KESTROD PREFIX DIR ARG...  starts KESTROD with ARG on the first free address
#       PREFIX.N (N from 1 to 20) with free ports and a new database DIR/station.db, its output
#       in DIR/kestrod.out and DIR/kestrod.log; sets server_pid, address, call_port and
#       events_port; prints the log and exits when none starts.
#   stop_kestrod  ends it (nothing when none runs).
start_kestrod() {
    local kestrod=$1 prefix=$2 dir=$3
    shift 3
    rm -f "$dir"/station.db*
    for n in $(seq 1 20); do
        address=$prefix.$n
        # Emptied here, not by the launch's redirection: the background launch may open the
        # file after the first look for "listening", which would then read the last server's
        # line and its ports.
        : >"$dir/kestrod.out"
        "$kestrod" --listen "$address" --call-port 0 --events-port 0 --db "$dir/station.db" \
            "$@" >"$dir/kestrod.out" 2>"$dir/kestrod.log" &
        server_pid=$!
        for _ in $(seq 300); do
            if grep -q listening "$dir/kestrod.out"; then
                read -r call_port events_port < <(sed \
                    's/.*call port \([0-9]*\), events port \([0-9]*\)/\1 \2/' "$dir/kestrod.out")
                return 0
            fi
            kill -0 "$server_pid" 2>/dev/null || break
            sleep 0.1
        done
        stop_kestrod
    done
    echo "kestrod did not start:"
    cat "$dir/kestrod.log"
    exit 1
}

stop_kestrod() {
    if [ -n "${server_pid:-}" ]; then
        kill -TERM "$server_pid" 2>/dev/null || true  # one that could not listen has ended
        wait "$server_pid" 2>/dev/null || true
    fi
    server_pid=
}
