#!/usr/bin/env bash
# scripts/capture-parts --sshlogin across two "machines": this one (":") and an sshd of the test's
# own on a loopback address and port, logged into with a key made for the test. The other machine's
# run folder is a second copy of the build, which that sshd (in a mount namespace of its own) sees at
# the same path as this one sees the first. A short range in two parts, one on each: the joined
# video holds exactly the frames of one run, each machine captured one part, and nothing is left in
# the other machine's work folder or run folder.
#   capture_parts_ssh.sh CAPTURE_PARTS RUN_DIR
set -u
script=$1 run_dir=$2
skip() { echo "capture_parts_ssh: skipped: $*"; exit 77; }
fail() { echo "capture_parts_ssh: $*"; failed=1; }
sshd=$(command -v sshd || echo /usr/sbin/sshd)
[ -x "$sshd" ] || skip "needs sshd (openssh-server; scripts/setup installs it)"
for tool in ssh ssh-keygen parallel ffmpeg rsync unshare python3; do
    command -v $tool >/dev/null || skip "needs $tool"
done
[ "$(id -u)" -eq 0 ] || skip "needs root (sshd, a mount namespace)"
unshare -m -f true 2>/dev/null || skip "cannot make a mount namespace (unshare -m)"
[ -x "$run_dir/velor-capture" ] || skip "no velor-capture in $run_dir"

work=$(mktemp -d)
sshd_pid=""
cleanup() {
    [ -s "$work/ssh/sshd.pid" ] && kill "$(cat "$work/ssh/sshd.pid")" 2>/dev/null
    [ -n "$sshd_pid" ] && kill "$sshd_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
failed=0

# Two copies of the run folder; velor-capture in each notes its calls in its own folder.
copy_run_folder() {
    local to=$1
    mkdir -p "$to"
    cp -a "$run_dir"/. "$to"/
    mv "$to/velor-capture" "$to/velor-capture.real"
    printf '#!/bin/sh\necho "$*" >>"$(dirname "$0")/calls.log"\nexec "$(dirname "$0")/velor-capture.real" "$@"\n' \
        >"$to/velor-capture"
    chmod +x "$to/velor-capture"
}
copy_run_folder "$work/run"        # this machine's, at the path both use
copy_run_folder "$work/other-run"  # the other machine's, shown at that path to its sshd
mkdir -p "$work/other-home" "$work/ssh"

# The other machine: an sshd on a free loopback port, its home and run folder in its namespace.
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
ssh-keygen -q -t ed25519 -N '' -f "$work/ssh/host_key"
ssh-keygen -q -t ed25519 -N '' -f "$work/ssh/id"
cp "$work/ssh/id.pub" "$work/ssh/authorized_keys"
cat >"$work/ssh/sshd_config" <<CONF
ListenAddress 127.0.0.1:$port
HostKey $work/ssh/host_key
AuthorizedKeysFile $work/ssh/authorized_keys
PidFile $work/ssh/sshd.pid
StrictModes no
PermitRootLogin prohibit-password
PasswordAuthentication no
KbdInteractiveAuthentication no
UsePAM no
CONF
cat >"$work/ssh/config" <<CONF
Host velor-other
  HostName 127.0.0.1
  Port $port
  User $(id -un)
  IdentityFile $work/ssh/id
  IdentitiesOnly yes
  StrictHostKeyChecking no
  UserKnownHostsFile $work/ssh/known_hosts
  BatchMode yes
  LogLevel ERROR
CONF
mkdir -p /run/sshd   # sshd's privilege separation folder, as its service makes it
home=$(getent passwd "$(id -un)" | cut -d: -f6)
# capture-parts' own temporary folder is this machine's alone, as it would be on two machines.
mkdir -p "$work/here-tmp"
unshare -m -f --kill-child sh -c 'mount --bind "$1/other-run" "$1/run" && mount --bind "$1/other-home" "$3" &&
                     mount -t tmpfs none "$1/here-tmp" && exec "$2" -D -e -f "$1/ssh/sshd_config"' \
    sh "$work" "$sshd" "$home" 2>"$work/sshd.log" &
sshd_pid=$!
export PARALLEL_SSH="ssh -F $work/ssh/config"
for _ in $(seq 50); do
    $PARALLEL_SSH velor-other true 2>/dev/null && break
    sleep 0.2
done
$PARALLEL_SSH velor-other true || { echo "capture_parts_ssh: the test's sshd does not answer: $(cat "$work/sshd.log")"; exit 1; }
touch "$work/other-run/.other-machine"
$PARALLEL_SSH velor-other test -e "$work/run/.other-machine" && [ ! -e "$work/run/.other-machine" ] ||
    { echo "capture_parts_ssh: the other machine does not see its own run folder at the shared path"; exit 1; }

from=44.5 to=44.9 fps=10   # 4 frames across window 3's opening
TMPDIR=$work/here-tmp "$script" "$work/joined.mkv" --from $from --to $to --fps $fps --parts 2 --jobs 1 --sshlogin ":,velor-other" \
    --run-dir "$work/run" --lossless || fail "capture-parts failed"
(cd "$run_dir" && ./velor-capture --video "$work/one.mkv" --lossless --from $from --to $to --fps $fps 2>/dev/null)
hashes() { ffmpeg -loglevel error -i "$1" -map 0:v -f framemd5 - | grep -v '^#' | awk -F, '{ print $6 }'; }
one=$(hashes "$work/one.mkv") joined=$(hashes "$work/joined.mkv" 2>/dev/null)
[ "$(echo "$one" | wc -l)" = 4 ] || fail "the one run has $(echo "$one" | wc -l) frames, not 4"
[ "$one" = "$joined" ] || fail "the joined frames differ from one run's: $(diff <(echo "$one") <(echo "$joined"))"

# Each machine captured one part, each in its own run folder.
parts_here=$(grep -c -- '--lossless' "$work/run/calls.log" 2>/dev/null)
parts_there=$(grep -c -- '--lossless' "$work/other-run/calls.log" 2>/dev/null)
[ "${parts_here:-0}" = 1 ] && [ "${parts_there:-0}" = 1 ] ||
    fail "parts captured here: ${parts_here:-0}, on the other machine: ${parts_there:-0}; want 1 and 1"
# Nothing left on the other machine: its work folders emptied, its run folder as it was.
# (Mesa keeps its shader cache in the home's .cache, as for any GL program: not the work folder.)
left=$(cd "$work/other-home" && { find .parallel -type f; find .parallel/tmp -mindepth 1 -maxdepth 1; } 2>/dev/null | sort)

[ -z "$left" ] || fail "left in the other machine's work folder: $left"
extra=$(diff <(cd "$run_dir" && ls -A | sort) <(cd "$work/other-run" && ls -A | grep -vx 'calls.log\|velor-capture.real\|.other-machine' | sort))
[ -z "$extra" ] || fail "the other machine's run folder changed: $extra"
[ "$failed" = 0 ] && echo "capture_parts_ssh: 4 frames in 2 parts, one here and one over ssh, equal one run's; nothing left behind"
exit "$failed"
