# Sourced, not run. Starts the loopback server that stands in for the maker's
# sites and points the browser engine at it. Needs SERVER (the server script)
# and WORK (a scratch folder); sets SERVER_PID, PORT and
# QTWEBENGINE_CHROMIUM_FLAGS, or returns 1 when the server does not start.

# The server's stdin is a pipe only the sourcing shell writes to: however that
# shell ends, the server sees its end and stops.
exec {SERVER_IN}> >(exec python3 "$SERVER" >"$WORK/server.out" 2>"$WORK/server.err")
SERVER_PID=$!
PORT=""
for _ in $(seq 200); do
    PORT=$(head -n 1 "$WORK/server.out" 2>/dev/null)
    [ -n "$PORT" ] && break
    sleep 0.1
done
if [ -z "$PORT" ]; then
    echo "the sites server did not start" >&2
    cat "$WORK/server.err" >&2
    return 1
fi

# The five host names of the maker's sites go to the server; nothing else
# resolves.
RULES=""
for host in www.quillmere.example www.wqzschools.example www.wqzmodules.example \
    www.quillmere.test www.optionlab.example; do
    RULES+="MAP $host 127.0.0.1:$PORT, "
done
RULES+="MAP * ~NOTFOUND"
export QTWEBENGINE_CHROMIUM_FLAGS="--host-resolver-rules=\"$RULES\""
