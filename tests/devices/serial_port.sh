#!/usr/bin/env bash
# A program on COM1 talks to the far end of a socat pseudo-terminal pair: what it prints arrives
# there, what the far end writes its INPUT #, LINE INPUT # and INPUT$ read; the line settings of
# "COM1:E72S" and of the serial defaults are read back from the device with stty.
#   serial_port.sh KAVRUN
set -u
kavrun=$1
command -v socat > /dev/null || { echo "socat is missing"; exit 77; }
work=$(mktemp -d)
socat_pid=
cleanup() {
    [ -n "$socat_pid" ] && kill "$socat_pid" 2> /dev/null
    rm -rf "$work"
}
trap cleanup EXIT
cd "$work"
socat pty,raw,echo=0,link="$work/com1" pty,raw,echo=0,link="$work/far" 2> socat.log &
socat_pid=$!
for _ in $(seq 100); do [ -e com1 ] && [ -e far ] && break; sleep 0.05; done
[ -e com1 ] && [ -e far ] || { echo "socat made no pair:"; cat socat.log; exit 1; }
export XDG_CONFIG_HOME=$work/config
mkdir -p config/quillon
printf '[Serial ports]\nCOM1=%s/com1\n' "$work" > config/quillon/settings.ini
failed=0
expect() {  # WHAT EXPECTED ACTUAL
    [ "$2" == "$3" ] && return
    printf '%s: expected\n%s\ngot\n%s\n' "$1" "$2" "$3"
    failed=1
}

cat > talk.bas << 'BAS'
OPEN "COM1:N81N" AS #1
PRINT #1, "HELLO"; 42
LINE INPUT #1, A$
INPUT #1, X, B$
PRINT "["; A$; "]"; X * 2; B$; LOF(1)
C$ = INPUT$(4, #1)
PRINT C$; " eof"; EOF(1)
PRINT #1, "BYE";
CLOSE
BAS
exec 3<> far  # the far end stays open all along
timeout 20 "$kavrun" --headless talk.bas > talk.out &
program=$!
heard=$(timeout 10 dd bs=1 count=10 status=none <&3 | od -An -c | tr -s ' ')
expect "what the program printed" " H E L L O 4 2 \r \n" "$heard"
printf 'line one, with a comma\r\n7,two\r\n' >&3
sleep 0.2
printf 'abcd' >&3
wait "$program"
expect "the program's status" 0 $?
expect "what the program read" "$(printf '[line one, with a comma] 14two 0\nabcd eof-1')" "$(cat talk.out)"
expect "the last bytes" "BYE" "$(timeout 10 dd bs=1 count=3 status=none <&3)"

settings() {  # the stty words of COM1 after a program opened it with NAME
    printf 'OPEN "%s" AS #1\nCLOSE\n' "$1" > settings.bas
    "$kavrun" --headless settings.bas > /dev/null || echo "kavrun failed"
    stty -a -F com1 | tr ' ;' '\n\n' | grep -E -x -- "$2" | tr '\n' ' '
}
words='-?(cstopb|crtscts|ixon|ixoff|inpck|icanon|echo|opost|icrnl)|9600|115200'
expect "COM1:E72S" "9600 cstopb crtscts inpck -icrnl ixon ixoff -opost -icanon -echo " \
    "$(settings COM1:E72S "$words")"
sed -i 's/^RS232C=.*/RS232C=1 12 8 0 0 0 0/' config/quillon/settings.ini
expect "COM: with code 12 (115200 baud) and no flow control" \
    "115200 -cstopb -crtscts -inpck -icrnl -ixon -ixoff -opost -icanon -echo " \
    "$(settings COM: "$words")"
exit $failed
