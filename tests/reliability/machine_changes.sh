#!/usr/bin/env bash
# The machine changes under the demo: the window minimised and restored many times (the device lost
# and reset each time), focus lost and gained, the audio device removed, and no sound device at all.
# Each run must keep the schedule on the clock and draw the same frames as an undisturbed run.
#   machine_changes.sh <run dir> <velor-harness> resets | events | no-sound
set -u
run_dir=$1 harness=$2 how=$3
times=10,25,45,65,85,105
step=0.02
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$run_dir" || exit 1
export TMPDIR=$out
mkdir "$out/calm" "$out/changed"

# The undisturbed run has the same frame times: where the changed run loses its window for a spell,
# this one's clock simply jumps by the spell, so the frames differ only by what the change did.
spells=()
case $how in
resets) spells=(--minimise-every 25 --lost-for 3) ;;
events) spells=(--minimise-every 400 --lost-for 50) ;;
esac
"$harness" play --at $times --step $step --out "$out/calm" "${spells[@]}" ${spells:+--pause-instead} \
    >"$out/calm.txt" 2>&1 || { cat "$out/calm.txt"; exit 1; }
case $how in
resets) "$harness" play --at $times --step $step --out "$out/changed" "${spells[@]}" >"$out/changed.txt" 2>&1 ;;
events) "$harness" play --at $times --step $step --out "$out/changed" --events "${spells[@]}" >"$out/changed.txt" 2>&1 ;;
no-sound) SDL_AUDIODRIVER=no-such-driver "$harness" play --at $times --step $step --out "$out/changed" >"$out/changed.txt" 2>&1 ;;
*) echo "machine_changes: unknown case $how"; exit 2 ;;
esac
rc=$?
cat "$out/calm.txt" "$out/changed.txt"
[ $rc -eq 0 ] || { echo "machine_changes [$how]: the changed run failed ($rc)"; exit 1; }
if [ "$how" = no-sound ]; then
    [ "$(grep -c 'no music' "$out/changed.txt")" -eq 1 ] || { echo "machine_changes: no sound device, not said once"; exit 1; }
fi
status=0
for f in "$out/calm"/*.png; do
    "$harness" compare "$f" "$out/changed/$(basename "$f")" || status=1
done
[ $status -eq 0 ] && echo "machine_changes [$how]: ok"
exit $status
