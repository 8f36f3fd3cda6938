#!/usr/bin/env bash
# A private CUPS server for the tests that print through a real queue.
#
#   private-cups.sh start DIR   starts Debian's cupsd with everything (configuration, spool,
#                               logs, cache, state, the socket DIR/cups.sock and the PDF output
#                               DIR/out) inside DIR, and sets up the queues below
#   private-cups.sh stop DIR    ends that server and removes its cups-pdf settings; safe twice
#
# The machine's own printers and settings are never touched: clients reach this server only
# through CUPS_SERVER=DIR/cups.sock. Queues:
#   Brisella_PDF         cups-pdf, A4, the default
#   Brisella_Duplex      cups-pdf with a Duplex option (long and short edge)
#   Brisella_Kaputt      a printer that does not answer (a local port nobody listens on) with
#                        the error policy abort-job: Qt's pages are accepted, then the job
#                        aborts with "The printer is not responding."
#   Brisella_Filterfehler  cups-pdf behind a filter that always fails (/bin/false): Qt's pages
#                        are accepted, then the server stops the job with "Filter failed"
#   Brisella_Angehalten  a stopped queue
# Where no server can be started (not root, no cupsd or cups-pdf), `start` still succeeds but
# writes the reason to DIR/unavailable; the queue tests then skip with that reason (unless
# BRISELLA_REQUIRE_PRIVATE_CUPS=1, which makes it fail).
set -uo pipefail

die() {
    echo "private-cups: $*" >&2
    exit 1
}

[ $# -eq 2 ] || die "usage: $0 start|stop DIR"
action=$1
DIR=$(realpath -m "$2")
SOCK=$DIR/cups.sock
# cups-pdf finds its settings by the device URI's name: one name per DIR, so that two build
# trees on one machine never share a settings file.
TAG=brisella-$(printf '%s' "$DIR" | md5sum | cut -c1-10)
CONFS=(/etc/cups/cups-pdf-"$TAG"-pdf.conf /etc/cups/cups-pdf-"$TAG"-duplex.conf)

stop_server() {
    if [ -f "$DIR/cupsd.pid" ]; then
        local pid
        pid=$(cat "$DIR/cupsd.pid")
        # Only a cupsd that this script started with this DIR's configuration.
        if [ -n "$pid" ] && grep -qs "$DIR/etc/cupsd.conf" "/proc/$pid/cmdline"; then
            kill "$pid" 2>/dev/null
            for _ in $(seq 1 100); do
                kill -0 "$pid" 2>/dev/null || break
                sleep 0.1
            done
            kill -9 "$pid" 2>/dev/null
        fi
        rm -f "$DIR/cupsd.pid"
    fi
    rm -f "${CONFS[@]}" "$SOCK"
}

unavailable() {
    # CI sets BRISELLA_REQUIRE_PRIVATE_CUPS=1: there the queue tests must run, not skip.
    [ "${BRISELLA_REQUIRE_PRIVATE_CUPS:-0}" = 1 ] && die "no private CUPS server: $*"
    mkdir -p "$DIR"
    echo "$*" >"$DIR/unavailable"
    echo "private-cups: no private CUPS server: $*" >&2
    exit 0
}

case $action in
stop)
    stop_server
    exit 0
    ;;
start) ;;
*) die "unknown action $action (start or stop)" ;;
esac

# DIR is wiped: only an empty folder or one that this script made before.
if [ -d "$DIR" ] && [ -n "$(ls -A "$DIR")" ] && [ ! -f "$DIR/etc/cupsd.conf" ] &&
    [ ! -f "$DIR/unavailable" ]; then
    die "$DIR is not empty and holds no private CUPS server; choose another folder"
fi
stop_server
rm -rf "$DIR"
mkdir -p "$DIR" || die "cannot make $DIR"

[ "$(id -u)" -eq 0 ] || unavailable "the private CUPS server needs root (cupsd runs its filters as lp)"
CUPSD=$(command -v cupsd || echo /usr/sbin/cupsd)
[ -x "$CUPSD" ] || unavailable "cupsd is not installed (package cups)"
[ -x /usr/lib/cups/backend/cups-pdf ] ||
    unavailable "cups-pdf is not installed (package printer-driver-cups-pdf)"
PPD=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[ -f "$PPD" ] || unavailable "the cups-pdf PPD $PPD is missing"
[ -d /etc/cups ] || unavailable "/etc/cups is missing"
# Filters run as lp: every folder above DIR must be passable for others.
d=$DIR
while [ "$d" != / ]; do
    d=$(dirname "$d")
    mode=$(stat -c %a "$d")
    [ $((8#$mode & 1)) -eq 1 ] || unavailable "$d is not passable for the user lp (mode $mode)"
done

mkdir -p "$DIR"/{etc/ppd,spool/tmp,cache,state,log,out,cups-pdf-spool} ||
    die "cannot make folders in $DIR"
chmod 0755 "$DIR" "$DIR"/{etc,etc/ppd,spool,cache,state,log,out}
chmod 1777 "$DIR/spool/tmp" "$DIR/cups-pdf-spool"

cat >"$DIR/etc/cups-files.conf" <<EOF
ServerRoot $DIR/etc
RequestRoot $DIR/spool
TempDir $DIR/spool/tmp
CacheDir $DIR/cache
StateDir $DIR/state
ErrorLog $DIR/log/error_log
AccessLog $DIR/log/access_log
PageLog $DIR/log/page_log
SystemGroup root
User lp
Group lp
FileDevice No
EOF
cat >"$DIR/etc/cupsd.conf" <<EOF
Listen $SOCK
LogLevel info
Browsing No
WebInterface No
DefaultAuthType None
MaxJobs 0
PreserveJobHistory Yes
PreserveJobFiles No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF

"$CUPSD" -t -c "$DIR/etc/cupsd.conf" -s "$DIR/etc/cups-files.conf" >"$DIR/log/check" 2>&1 ||
    die "cupsd -t rejects the configuration: $(cat "$DIR/log/check")"

# The PPD of the two-sided queue: cups-pdf's own with the standard Duplex option.
awk '{ print } /^\*CloseUI: \*PageRegion/ && !done {
    print ""
    print "*OpenUI *Duplex/2-Sided Printing: PickOne"
    print "*OrderDependency: 20 AnySetup *Duplex"
    print "*DefaultDuplex: None"
    print "*Duplex None/Off: \"<</Duplex false>>setpagedevice\""
    print "*Duplex DuplexNoTumble/Long Edge: \"<</Duplex true/Tumble false>>setpagedevice\""
    print "*Duplex DuplexTumble/Short Edge: \"<</Duplex true/Tumble true>>setpagedevice\""
    print "*CloseUI: *Duplex"
    done = 1 }' "$PPD" >"$DIR/duplex.ppd"
grep -q '^\*OpenUI \*Duplex' "$DIR/duplex.ppd" || die "could not add the Duplex option to the PPD"
# The PPD of the queue whose filter fails: every PDF goes through /bin/false first.
awk '{ print } /^\*PCFileName/ && !done {
    print "*cupsFilter2: \"application/pdf application/vnd.brisella-kaputt 0 /bin/false\""
    done = 1 }' "$PPD" >"$DIR/filter.ppd"
grep -q '^\*cupsFilter2' "$DIR/filter.ppd" || die "could not add the failing filter to the PPD"

for conf in "${CONFS[@]}"; do
    cat >"$conf" <<EOF
Out $DIR/out
AnonDirName $DIR/out
Spool $DIR/cups-pdf-spool
Log $DIR/log
Grp root
EOF
done

# The broken printer: a local port that refuses connections. (cups-pdf cancels a job that it
# cannot write instead of failing it, so it cannot play a failing printer.)
deadport=
for p in 9 1 7 13 19; do
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null; then
        deadport=$p
        break
    fi
done
[ -n "$deadport" ] || die "no closed local port for the failing queue"

# -f keeps cupsd in the foreground of its own background process, so its id is known.
setsid "$CUPSD" -f -c "$DIR/etc/cupsd.conf" -s "$DIR/etc/cups-files.conf" \
    </dev/null >>"$DIR/log/cupsd.out" 2>&1 &
echo $! >"$DIR/cupsd.pid"

export CUPS_SERVER=$SOCK
up=
for _ in $(seq 1 300); do
    if lpstat -r 2>/dev/null | grep -q "is running"; then
        up=1
        break
    fi
    kill -0 "$(cat "$DIR/cupsd.pid")" 2>/dev/null || break
    sleep 0.1
done
[ -n "$up" ] || {
    stop_server
    die "cupsd did not answer on $SOCK; its log: $(tail -5 "$DIR/log/error_log" 2>/dev/null)"
}

fail() {
    stop_server
    die "$*"
}
# lpadmin warns on every PPD that drivers are deprecated; the warnings go to the log.
admin() { lpadmin "$@" 2>>"$DIR/log/lpadmin"; }
admin -p Brisella_PDF -v "cups-pdf:/$TAG-pdf" -E -P "$PPD" -o media=A4 ||
    fail "lpadmin Brisella_PDF failed"
admin -p Brisella_Duplex -v "cups-pdf:/$TAG-duplex" -E -P "$DIR/duplex.ppd" -o media=A4 ||
    fail "lpadmin Brisella_Duplex failed"
admin -p Brisella_Kaputt -v "socket://127.0.0.1:$deadport/?contimeout=1" -E -P "$PPD" \
    -o media=A4 -o printer-error-policy=abort-job || fail "lpadmin Brisella_Kaputt failed"
admin -p Brisella_Filterfehler -v "cups-pdf:/$TAG-pdf" -E -P "$DIR/filter.ppd" -o media=A4 ||
    fail "lpadmin Brisella_Filterfehler failed"
admin -p Brisella_Angehalten -v "cups-pdf:/$TAG-pdf" -E -P "$PPD" -o media=A4 ||
    fail "lpadmin Brisella_Angehalten failed"
cupsdisable -r "Angehalten für die Tests" Brisella_Angehalten || fail "cupsdisable failed"
admin -d Brisella_PDF || fail "lpadmin -d failed"

for q in Brisella_PDF Brisella_Duplex Brisella_Kaputt Brisella_Filterfehler Brisella_Angehalten; do
    lpstat -p "$q" >/dev/null 2>&1 || fail "queue $q is missing after set-up"
done
echo "private-cups: server on $SOCK, output in $DIR/out"
