#!/usr/bin/env bash
# Starts a throwaway CUPS scheduler for the tests: every file under DIR, listening only on a
# unix socket there, no browsing, no authentication on that socket. Prints the socket path and
# writes DIR/test.env, the variables the tests read, for the caller to source.
# Usage: test-cups.sh start DIR | stop DIR
#
# The queues (all print through the Generic PDF driver into DIR/out/NAME.pdf, so the text of
# what was printed can be read back with pdftotext):
#   qv-voucher         the scheduler's default destination; print runs print here
#   branch-qv-voucher  ends like qv-voucher and comes before it in CUPS's order (by name),
#                      though it is created after it
#   qv-idle            stays idle, enabled and empty
#   qv-stopped         the printer-access tests stop it and make it reject jobs, then undo that
#   qv-held            the printer-access tests hold a job on it, then cancel it
# Tests leave the default destination and the other queues' states as they found them.
set -euo pipefail
action=$1
base=$2
export PATH=$PATH:/usr/sbin:/sbin
export LC_ALL=C

PPD=/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd
QUEUES=(qv-voucher branch-qv-voucher qv-idle qv-stopped qv-held)

answers() {
    lpstat -r 2>/dev/null | grep -qx "scheduler is running"
}

case $action in
start)
    if [[ ! -f $PPD ]]; then
        echo "$PPD is missing (package cups-filters)" >&2
        exit 1
    fi
    mkdir -p "$base"
    base=$(cd "$base" && pwd)
    # Started as root, the scheduler runs its filters as the unprivileged user lp, which must
    # reach the spool and temporary folders below DIR and write its temporary files.
    chmod 755 "$base"
    mkdir -p "$base/etc/ppd" "$base/spool" "$base/tmp" "$base/cache" "$base/state" \
        "$base/log" "$base/run" "$base/out" "$base/ssl"
    chmod 1777 "$base/tmp"
    # The group whose members may administer the scheduler (lpadmin, cupsenable, ...).
    if [[ $(id -u) -eq 0 ]]; then
        system_group=root
    else
        system_group=$(id -gn)
    fi
    cat >"$base/cups-files.conf" <<EOF
ServerRoot $base/etc
RequestRoot $base/spool
TempDir $base/tmp
CacheDir $base/cache
StateDir $base/state
ServerKeychain $base/ssl
CreateSelfSignedCerts no
AccessLog $base/log/access_log
ErrorLog $base/log/error_log
PageLog $base/log/page_log
Printcap $base/etc/printcap
SystemGroup $system_group
FileDevice Yes
EOF
    # Anyone who can open the socket may do anything: the socket lives in a private folder.
    cat >"$base/cupsd.conf" <<EOF
Listen $base/run/cups.sock
Browsing No
BrowseLocalProtocols none
DefaultAuthType None
WebInterface No
LogLevel warn
MaxLogSize 0
DefaultPolicy open
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy open>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
    cupsd -f -c "$base/cupsd.conf" -s "$base/cups-files.conf" \
        >"$base/log/cupsd.out" 2>&1 </dev/null &
    echo $! >"$base/cupsd.pid"
    export CUPS_SERVER=$base/run/cups.sock
    for _ in $(seq 1 200); do
        answers && break
        if ! kill -0 "$(cat "$base/cupsd.pid")" 2>/dev/null; then
            echo "cupsd did not start:" >&2
            cat "$base/log/cupsd.out" "$base/log/error_log" >&2 2>/dev/null || true
            exit 1
        fi
        sleep 0.05
    done
    if ! answers; then
        echo "cupsd does not answer on $CUPS_SERVER" >&2
        exit 1
    fi
    for queue in "${QUEUES[@]}"; do
        # lpadmin warns that PPD drivers are deprecated; the warning goes to the log.
        lpadmin -p "$queue" -E -v "file://$base/out/$queue.pdf" -P "$PPD" \
            2>>"$base/log/lpadmin.log"
    done
    lpadmin -d qv-voucher
    cat >"$base/test.env" <<EOF
export CUPS_SERVER=$CUPS_SERVER
export QUORVANE_TEST_CUPS_OUT=$base/out
export QUORVANE_TEST_CUPS_QUEUE=qv-voucher
export QUORVANE_TEST_CUPS_QUEUE_BRANCH=branch-qv-voucher
export QUORVANE_TEST_CUPS_QUEUE_IDLE=qv-idle
export QUORVANE_TEST_CUPS_QUEUE_STOPPED=qv-stopped
export QUORVANE_TEST_CUPS_QUEUE_HELD=qv-held
EOF
    echo "$CUPS_SERVER"
    ;;
stop)
    if [[ -f $base/cupsd.pid ]]; then
        pid=$(cat "$base/cupsd.pid")
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 1 100); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.05
        done
        kill -9 "$pid" 2>/dev/null || true
        rm -f "$base/cupsd.pid"
    fi
    ;;
*)
    echo "usage: $0 start DIR | stop DIR" >&2
    exit 2
    ;;
esac
