#!/usr/bin/env bash
# The README's Slurm array script end to end on a single-node Slurm started here as plain
# processes (munged, slurmctld, slurmd; no systemd), then the README's merge: every input of
# the list ends with exactly one row. Exits 77 (skipped) with a line saying why when the
# packages are missing or the daemons cannot run here.
# Usage: slurm_array.sh KELMOR SOURCE_DIR WORK_DIR
set -uo pipefail
KELMOR=$1 SOURCE=$2 WORK=$3

skip() { echo "SKIPPED: $*"; exit 77; }
for tool in munged slurmctld slurmd sbatch sinfo; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (apt-get install slurmctld slurmd slurm-client munge)"
done
[ "$(id -u)" -eq 0 ] || skip "the daemons are started as root here"

rm -rf "$WORK" && mkdir -p "$WORK"/{state,spool,log,munge,job}
WORK=$(cd "$WORK" && pwd)
PIDS=()
stop() {
  local pid
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${PIDS[@]}"; do wait "$pid" 2>/dev/null; done
}
trap stop EXIT

# munge: a key and a socket of this test's own.
dd if=/dev/urandom of="$WORK/munge/munge.key" bs=1024 count=1 status=none
chmod 700 "$WORK/munge" && chmod 400 "$WORK/munge/munge.key"
SOCKET=$WORK/munge/munge.socket
munged -F --force --key-file="$WORK/munge/munge.key" --socket="$SOCKET" \
  --pid-file="$WORK/munge/munged.pid" --seed-file="$WORK/munge/seed" --log-file="$WORK/log/munged.log" > "$WORK/log/munged.out" 2>&1 &
PIDS+=($!)

PORT=$((20000 + RANDOM % 20000))
CPUS=$(nproc)
cat > "$WORK/slurm.conf" <<CONF
ClusterName=kelmortest
SlurmctldHost=localhost
SlurmUser=root
SlurmctldPort=$PORT
SlurmdPort=$((PORT + 1))
AuthType=auth/munge
AuthInfo=socket=$SOCKET
CredType=cred/munge
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
JobCompType=jobcomp/filetxt
JobCompLoc=$WORK/log/jobcomp.txt
AccountingStorageType=accounting_storage/none
StateSaveLocation=$WORK/state
SlurmdSpoolDir=$WORK/spool
SlurmctldPidFile=$WORK/slurmctld.pid
SlurmdPidFile=$WORK/slurmd.pid
SlurmctldLogFile=$WORK/log/slurmctld.log
SlurmdLogFile=$WORK/log/slurmd.log
ReturnToService=2
NodeName=localhost NodeAddr=127.0.0.1 CPUs=$CPUS State=UNKNOWN
PartitionName=test Nodes=localhost Default=YES MaxTime=INFINITE State=UP
CONF
export SLURM_CONF=$WORK/slurm.conf
for i in $(seq 50); do [ -S "$SOCKET" ] && break; sleep 0.1; done
[ -S "$SOCKET" ] || skip "munged did not start: $(tail -3 "$WORK/log/munged.log" 2>/dev/null)"
slurmctld -D -i -f "$SLURM_CONF" > "$WORK/log/slurmctld.out" 2>&1 &
PIDS+=($!)
slurmd -D -N localhost -f "$SLURM_CONF" > "$WORK/log/slurmd.out" 2>&1 &
PIDS+=($!)
for i in $(seq 100); do
  sinfo -h -o %T 2>/dev/null | grep -q idle && break
  sleep 0.2
done
sinfo -h -o %T 2>/dev/null | grep -q idle ||
  skip "the single-node Slurm did not come up: $(tail -3 "$WORK/log/slurmctld.log" "$WORK/log/slurmd.log" 2>/dev/null)"

# The README's script with two slices of a short list, run as it stands otherwise.
cd "$WORK/job"
for s in cube tetrahedron octahedron icosahedron dodecahedron; do echo "$SOURCE/examples/$s.txt"; done > solids.txt
sed -n '/^    #!\/bin\/bash/,/^    kelmor batch --merge/p' "$SOURCE/README.md" | sed 's/^    //' > readme-script
grep -q -- '--shard' readme-script || { echo "FAILED: no array script found in README.md"; exit 1; }
sed -e '/^# after the array/,$d' -e 's/--array=1-20/--array=1-2/' -e 's/^SHARDS=20/SHARDS=2/' \
  -e 's/--cpus-per-task=4/--cpus-per-task=1/' -e "s|^kelmor |$KELMOR |" -e "s|^\(\s*\)kelmor |\1$KELMOR |" \
  -e '/^#SBATCH --time/d' readme-script > array.sh
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config XDG_CACHE_HOME=$WORK/home/.cache && mkdir -p "$HOME"
sbatch --wait --output="$WORK/log/task-%a.out" array.sh > "$WORK/log/sbatch.out" 2>&1
status=$?
[ $status -eq 0 ] || { echo "FAILED: the array job ended with $status"; cat "$WORK/log/sbatch.out" "$WORK"/log/task-*.out; exit 1; }
merge=$(sed -n 's/^    kelmor batch --merge/batch --merge/p' "$SOURCE/README.md" | head -1)
# shellcheck disable=SC2086
"$KELMOR" $merge || { echo "FAILED: the merge"; exit 1; }
rows=$(grep -c '"input"' results/all/results.jsonl)
distinct=$(grep -o '"input":"[^"]*"' results/all/results.jsonl | sort -u | wc -l)
[ "$rows" -eq 5 ] && [ "$distinct" -eq 5 ] || { echo "FAILED: $rows rows for $distinct inputs, not 5"; cat results/all/results.jsonl; exit 1; }
echo "the README's array script ran 2 slices on Slurm and the merge joined 5 rows"
