#!/usr/bin/env bash
# LPRINT through a real CUPS server: a private cupsd (its own configuration, spool and socket
# in a temporary folder, never the system's) with a cups-pdf printer as the default
# destination. The queue is stopped, so the job waits in the spool, where the test reads it
# back: it must be there, named "PrintOut", and hold the Japanese lines. Then the server goes
# away and LPRINT must fail soundly. Skips (77) when cupsd or cups-pdf is not installed.
set -u
kavrun=$1
cupsd=$(command -v cupsd || echo /usr/sbin/cupsd)
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[ -x "$cupsd" ] && [ -f "$ppd" ] && command -v lpadmin >/dev/null && command -v pdftotext >/dev/null \
    || { echo "cupsd, cups-pdf or poppler-utils missing"; exit 77; }

work=$(mktemp -d)
server_pid=
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work"/{etc/ppd,spool/tmp,cache,state,log,home,config}
socket=$work/cups.sock
cat > "$work/etc/cups-files.conf" <<CONF
ServerRoot $work/etc
RequestRoot $work/spool
TempDir $work/spool/tmp
CacheDir $work/cache
StateDir $work/state
ErrorLog $work/log/error_log
AccessLog $work/log/access_log
PageLog $work/log/page_log
DataDir /usr/share/cups
ServerBin /usr/lib/cups
SystemGroup $(id -gn)
CONF
cat > "$work/etc/cupsd.conf" <<CONF
Listen $socket
Browsing No
WebInterface No
DefaultAuthType None
DefaultEncryption Never
PreserveJobFiles Yes
DirtyCleanInterval 0
LogLevel warn
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
"$cupsd" -f -c "$work/etc/cupsd.conf" -s "$work/etc/cups-files.conf" &
server_pid=$!
export CUPS_SERVER=$socket HOME=$work/home XDG_CONFIG_HOME=$work/config
for _ in $(seq 100); do [ -S "$socket" ] && lpstat -r >/dev/null 2>&1 && break; sleep 0.1; done
lpstat -r >/dev/null 2>&1 || { echo "the private cupsd did not start"; cat "$work/log/error_log"; exit 1; }

lpadmin -p QuillonPDF -v cups-pdf:/ -P "$ppd" 2>/dev/null && cupsaccept QuillonPDF &&
    lpadmin -d QuillonPDF \
    || { echo "cannot set up the cups-pdf printer"; cat "$work/log/error_log"; exit 1; }

cat > "$work/prog.bas" <<'BAS'
LPRINT "印刷のテスト"
LPRINT "二行目";
LPRINT "の続き";CHR$(12)
PRINT "sent"
BAS
out=$(cd "$work" && timeout 60 "$kavrun" --headless prog.bas)
status=$?
failed=0
[ "$status" = 0 ] && [ "$out" = "sent" ] || { echo "kavrun: status $status, output: $out"; failed=1; }

jobs=$(lpstat -W not-completed -o QuillonPDF 2>&1)
[ "$(echo "$jobs" | grep -c QuillonPDF)" = 1 ] || { echo "expected one queued job, got: $jobs"; failed=1; }
document=$(ls "$work"/spool/d*-001 2>/dev/null | head -n 1)
if [ -z "$document" ]; then
    echo "no document in the spool"; failed=1
else
    text=$(pdftotext "$document" - 2>/dev/null)
    case "$text" in
        *"印刷のテスト"*"二行目の続き"*) ;;
        *) echo "the spooled document holds: $text"; failed=1 ;;
    esac
fi
# The server writes the job's attributes out a moment later.
for _ in $(seq 100); do grep -q "PrintOut" "$work"/spool/c* 2>/dev/null && break; sleep 0.1; done
grep -q "PrintOut" "$work"/spool/c* 2>/dev/null || { echo "the job is not named PrintOut"; failed=1; }

# The server goes away while a job is open (the program waits for a line on a pipe): sending
# it fails with an error that says so.
cat > "$work/away.bas" <<'BAS'
LPRINT "open job"
PRINT "job started"
LINE INPUT A$
LPRINT CHR$(12)
BAS
mkfifo "$work/keys"
(cd "$work" && timeout 60 "$kavrun" --headless away.bas < keys > away.out; echo $? > away.status) &
exec 3> "$work/keys"
# The job must be open before the server goes (a slow start, a sanitizer build).
for _ in $(seq 300); do grep -q "job started" "$work/away.out" 2>/dev/null && break; sleep 0.1; done
kill "$server_pid"; wait "$server_pid" 2>/dev/null; server_pid=
echo go >&3
exec 3>&-
wait
case "$(cat "$work/away.out")" in
    *"印刷できませんでした"*) [ "$(cat "$work/away.status")" = 1 ] || { echo "status $(cat "$work/away.status")"; failed=1; } ;;
    *) echo "server gone during the job: $(cat "$work/away.out")"; failed=1 ;;
esac

# Without the server the next job cannot find a printer and says so.
out=$(cd "$work" && timeout 60 "$kavrun" --headless prog.bas)
status=$?
case "$out" in
    *"使用できるプリンターが見つかりません"*) [ "$status" = 1 ] || { echo "status $status"; failed=1; } ;;
    *) echo "without the server: status $status, output: $out"; failed=1 ;;
esac
[ "$failed" = 0 ] && echo "cups print: passed"
exit $failed
