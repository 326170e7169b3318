#!/usr/bin/env bash
# Kills a save with SIGKILL just before each of its system calls, one kill
# point a run, every call of every kind the save makes. After each kill the
# database's name must hold the complete previous or the complete new
# content, the backup a complete earlier content, the previous content must
# still exist somewhere, and a later save must work.
#
# Four ways through the save are crashed:
#   link      the file system has hard links (the usual case)
#   copy      link fails with EXDEV, so the previous content is copied
#   cleanup   the rename of the new content fails with EIO, so the save
#             removes its temporary files and reports the error
#   rollback  the rename to the backup name fails with EIO, so the save puts
#             the previous content back and reports the error
# A way that fails a system call itself is not killed at that call (strace
# takes one injection per call). For rollback that leaves out the kill just
# before the rename that puts the previous content back, which finds the files
# as the link way's kill before the backup rename does.
#
# Usage: crash_at_every_step.sh LOCKLEAF_BINARY DATA_FOLDER [sanitized]
set -u
# shellcheck source=fault_common.sh
source "$(dirname "$0")/fault_common.sh"

skip_unless_strace_works
setup_fixtures

TOTAL_KILLS=0
TOTAL_STRAYS=0
SUMMARY=()

# Checks the folder after a kill, then saves again without faults.
check_after_kill() {
    local killed_at=$1
    [[ $RC == 137 ]] || fail "exit status $RC after the kill, expected 137"
    find_db_state
    find_bak_state
    find_strays
    local pair="$DB_STATE+$BAK_STATE"
    case $pair in
    previous+older | new+older | new+previous) ;;
    *) fail "database=$DB_STATE backup=$BAK_STATE is no state a save passes through" ;;
    esac
    # Nothing is lost: the previous content survives under the database's
    # name, the backup's or a temporary name.
    if [[ $DB_STATE != previous && $BAK_STATE != previous ]]; then
        local s found=0
        for s in "${STRAYS[@]}"; do
            cmp -s "$CASE/$s" "$REF/previous.nte" && found=1
        done
        ((found)) || fail "the previous content is lost"
    fi
    STATES[$pair]=$((${STATES[$pair]:-0} + 1))
    TOTAL_STRAYS=$((TOTAL_STRAYS + ${#STRAYS[@]}))
    printf '  kill before %-66s database=%-8s backup=%-8s temporary files: %s\n' \
        "$killed_at" "$DB_STATE" "$BAK_STATE" "${STRAYS[*]:-none}"

    # The temporary files a crash leaves do not stand in the next save's way.
    cp -p "$DB" "$WORK/before-recovery"
    if lockleaf_with "$PW_NEW" create "$DB" --from "$DATA/new.json"; then
        find_db_state
        [[ $DB_STATE == new ]] || fail "the save after the kill did not write the new content"
        cmp -s "$BAK" "$WORK/before-recovery" || fail "the save after the kill did not keep the database as backup"
    else
        fail "the save after the kill failed: $(cat "$WORK/err")"
    fi
}

# A kill leaves the page cache intact, so it cannot show a missing flush; the
# order of the undisturbed save's calls can. Every temporary file written to
# is flushed after its last write and before it is renamed, and the folder is
# flushed after the last rename.
check_flush_order() {
    local i sig name source last_write flushed last_rename=-1 folder_flush=-1
    for i in "${!SAVE_CALLS[@]}"; do
        sig=${SAVE_CALLS[$i]}
        name=${SAVE_CALL_NAMES[$i]}
        [[ $name == rename* ]] || continue
        last_rename=$i
        [[ $sig =~ \"([^\"]*)\" ]] || continue
        source=${BASH_REMATCH[1]}
        last_write=-1
        flushed=-1
        local j
        for ((j = 0; j < i; j++)); do
            case ${SAVE_CALLS[$j]} in
            write\(*"<$source>"*) last_write=$j ;;
            fsync\(*"<$source>"* | fdatasync\(*"<$source>"*) ((j > last_write)) && flushed=$j ;;
            esac
        done
        if ((last_write >= 0 && flushed < 0)); then
            fail "$source is renamed without a flush after its last write"
        fi
    done
    for ((i = last_rename + 1; i < ${#SAVE_CALLS[@]}; i++)); do
        [[ ${SAVE_CALLS[$i]} == fsync\(*"<${CASE#"$WORK"/}>)" ]] && folder_flush=$i
    done
    ((folder_flush >= 0)) || fail "the folder is not flushed after the last rename"
}

# Checks how an undisturbed run of the current way through the save ends.
check_end() {
    if [[ $END == saved ]]; then
        check_exit 0 ""
        check_saved
    else
        check_exit 3 "$END"
        check_untouched
    fi
}

# Runs every kill point of one way through the save. $1 names the way; $2 is
# the system call it fails itself (not killed at; may be empty); $3 the
# states (database+backup) its kill points must reach; $4 how it ends:
# "saved" or the error message; the rest are its strace options.
crash_mode() {
    local mode=$1 steered=$2 required=$3
    END=$4
    shift 4
    local -a steer=("$@")
    declare -gA STATES=()

    reset_case
    CONTEXT="$mode: undisturbed save"
    traced_save "$WORK/logs/calibration-$mode" -e trace=%file,%desc "${steer[@]}"
    check_end
    calibrate "$WORK/logs/calibration-$mode"
    [[ $END == saved ]] && check_flush_order
    echo "$mode: the save makes ${#SAVE_CALLS[@]} calls: ${SAVE_NAMES[*]}"

    local i name n line kills=0 log="$WORK/logs/run"
    declare -A made=()
    # A kill before each call in the order the save makes them.
    for i in "${!SAVE_CALLS[@]}"; do
        name=${SAVE_CALL_NAMES[$i]}
        [[ $name == "$steered" ]] && continue
        n=$((${made[$name]:-0} + 1))
        made[$name]=$n
        reset_case
        CONTEXT="$mode: kill at $name #$n"
        traced_save "$log" -e "trace=$name${steered:+,$steered}" "${steer[@]}" \
            -e "inject=$name:signal=SIGKILL:when=$((OFFSET[$name] + n))"
        if ! grep -q '^[0-9]* *+++ killed by SIGKILL' "$log"; then
            fail "the save ended before its call ${SAVE_CALLS[$i]}"
            continue
        fi
        line=$(signature_of "$(killed_line "$log" "$name")")
        same_call "$line" "${SAVE_CALLS[$i]}" ||
            fail "killed at $line where the undisturbed save made ${SAVE_CALLS[$i]}"
        check_after_kill "$line"
        kills=$((kills + 1))
    done
    # One call more of each kind than the save makes: it runs to its end.
    for name in "${!made[@]}"; do
        n=$((${made[$name]} + 1))
        reset_case
        CONTEXT="$mode: kill at $name #$n"
        traced_save "$log" -e "trace=$name${steered:+,$steered}" "${steer[@]}" \
            -e "inject=$name:signal=SIGKILL:when=$((OFFSET[$name] + n))"
        if grep -q '^[0-9]* *+++ killed by SIGKILL' "$log"; then
            fail "the save made more than $((n - 1)) calls of $name"
        else
            check_end
        fi
    done

    local pair states=""
    CONTEXT=$mode
    for pair in previous+older new+older new+previous; do
        states+=" $pair=${STATES[$pair]:-0}"
    done
    # The kill points must reach every state this way passes through.
    for pair in $required; do
        [[ ${STATES[$pair]:-0} -gt 0 ]] || fail "$mode: no kill point found the state $pair:$states"
    done
    echo "$mode: $kills kill points, states (database+backup):$states"
    SUMMARY+=("$mode $kills")
    TOTAL_KILLS=$((TOTAL_KILLS + kills))
}

# The names of link and rename on this system, from an undisturbed save.
reset_case
CONTEXT="system call names"
traced_save "$WORK/logs/names" -e trace=%file,%desc
END=saved
check_end
calibrate "$WORK/logs/names"
LINK=""
RENAME=""
for name in "${SAVE_NAMES[@]}"; do
    case $name in
    link | linkat) LINK=$name ;;
    rename | renameat | renameat2) RENAME=$name ;;
    esac
done
if [[ -z $LINK || -z $RENAME || $BACKUP_RENAME -lt 0 ]]; then
    echo "FAIL: the save's link and renames were not found in its trace"
    exit 1
fi
backup_rename_n=0
for ((i = 0; i <= BACKUP_RENAME; i++)); do
    [[ ${SAVE_CALL_NAMES[$i]} == "$RENAME" ]] && backup_rename_n=$((backup_rename_n + 1))
done

crash_mode link "" "previous+older new+older new+previous" saved
crash_mode copy "$LINK" "previous+older new+older new+previous" saved \
    -e "inject=$LINK:error=EXDEV"
crash_mode cleanup "$RENAME" "previous+older" "$(message_for EIO "$DB")" \
    -e "inject=$RENAME:error=EIO:when=$((OFFSET[$RENAME] + backup_rename_n - 1))"
crash_mode rollback "$RENAME" "previous+older" "$(message_for EIO "$BAK")" \
    -e "inject=$RENAME:error=EIO:when=$((OFFSET[$RENAME] + backup_rename_n))"

if ((FAILURES)); then
    echo "crash_at_every_step: $FAILURES failures in $TOTAL_KILLS kill points"
    exit 1
fi
echo "crash_at_every_step: $TOTAL_KILLS kill points (${SUMMARY[*]}), all passed;" \
    "$TOTAL_STRAYS temporary files left by kills, none at the database's name"
