#!/usr/bin/env bash
# Fails one system call of a save with an error, for every call of the kinds
# below and every N from 1 until the save makes fewer than N such calls, and
# checks the exit status, the exact message and the files byte for byte:
#   write, fsync, close      ENOSPC, EIO, EDQUOT (full disk, quota, bad disk)
#   link                     EXDEV, EPERM, EOPNOTSUPP, EMLINK, ENOSYS (no hard
#                            links here), EACCES, EBUSY
#   rename                   EXDEV, EACCES, EBUSY
#   openat                   ENOSPC, EACCES, EMFILE
#   fchmod                   EPERM
#   read                     EIO (reading the database to copy it)
# Each error is injected once (at the N-th call only) and lasting (at the
# N-th call and every later one, as a full disk or a failing device stays so;
# not for write, which also writes the error message). Each way through the
# save is run: with hard links, and with link failing with EXDEV so that the
# previous content is copied.
#
# What the save must do:
#   - EXDEV (or another error saying the file system has no hard links) at
#     link is no failure: the previous content is copied instead.
#   - A failure after both renames (flushing or closing the folder) comes
#     when the new content is in place: reported, with the new content at the
#     database's name and the previous content as backup.
#   - Any other failure: exit status 3, the standard message naming the
#     backup file when the failing call concerns the backup and the database
#     file otherwise, both files byte-identical to before and no temporary
#     file. The saves of one series run one after another on the same files,
#     and the database opens after each failed one.
#   - A lasting rename error from the backup rename on also fails the rename
#     that would put the previous content back: the new content stays at the
#     database's name, the error is reported and the previous content is kept
#     under a temporary name, never removed.
#
# Usage: io_errors.sh LOCKLEAF_BINARY DATA_FOLDER [sanitized]
set -u
# shellcheck source=fault_common.sh
source "$(dirname "$0")/fault_common.sh"

skip_unless_strace_works
setup_fixtures
STRACE_OPTIONS=(--seccomp-bpf)

errors_for() {
    case $1 in
    write | fsync | fdatasync | close) echo "ENOSPC EIO EDQUOT" ;;
    link | linkat) echo "EXDEV EPERM EOPNOTSUPP EMLINK ENOSYS EACCES EBUSY" ;;
    rename | renameat | renameat2) echo "EXDEV EACCES EBUSY" ;;
    openat | open) echo "ENOSPC EACCES EMFILE" ;;
    fchmod) echo "EPERM" ;;
    read) echo "EIO" ;;
    esac
}

TOTAL=0
UNTOUCHED=0
AFTER_RENAMES=0
COPIED=0
KEPT=0
SUMMARY=()

# One series: error $2 at the n-th call named $1 for n = 1, 2, ...; $3 is
# "once" or "lasting".
error_series() {
    local name=$1 err=$2 how=$3 n=1 idx line file count injections=0 failed_in_row=0 longest=0 plus=""
    [[ $how == lasting ]] && plus="+"
    count=$(save_call_count "$name")
    reset_case
    while ((n <= count + 1)); do
        CONTEXT="$MODE: $err at $name #$n ($how)"
        traced_save "$WORK/logs/run" -e "trace=$name${STEERED:+,$STEERED}" "${STEER[@]}" \
            -e "inject=$name:error=$err:when=$((OFFSET[$name] + n))$plus"
        line=$(grep -E "^[0-9]+ +$name\(.*\(INJECTED\)$" "$WORK/logs/run" | head -n 1)
        if [[ -z $line ]]; then
            ((n - 1 == count)) || fail "the save made $((n - 1)) calls of $name, the undisturbed save $count"
            check_exit 0 ""
            check_saved
            break
        fi
        injections=$((injections + 1))
        line=$(signature_of "$line")
        idx=$(save_call_index "$name" "$n")
        if ((idx < 0)); then
            fail "the error hit $line, a call the undisturbed save does not make"
            break
        fi
        same_call "$line" "${SAVE_CALLS[$idx]}" ||
            fail "the error hit $line where the undisturbed save made ${SAVE_CALLS[$idx]}"

        if [[ ($name == link || $name == linkat) && " EXDEV EPERM EOPNOTSUPP EMLINK ENOSYS " == *" $err "* ]]; then
            check_exit 0 ""
            check_saved
            COPIED=$((COPIED + 1))
            reset_case
            failed_in_row=0
        elif [[ $how == lasting ]] && ((idx == BACKUP_RENAME)); then
            check_exit 3 "$(message_for "$err" "$BAK")"
            find_db_state
            [[ $DB_STATE == new ]] || fail "the new content is not at the database's name"
            cmp -s "$BAK" "$REF/older.nte" || fail "the backup changed"
            find_strays
            if ((${#STRAYS[@]} != 1)) || ! cmp -s "$CASE/${STRAYS[0]}" "$REF/previous.nte"; then
                fail "the previous content is not kept under a temporary name (temporary files: ${STRAYS[*]:-none})"
            fi
            KEPT=$((KEPT + 1))
            reset_case
            failed_in_row=0
        elif ((idx > BACKUP_RENAME)); then
            check_exit 3 "$(message_for "$err" "$DB")"
            check_saved
            AFTER_RENAMES=$((AFTER_RENAMES + 1))
            reset_case
            failed_in_row=0
        else
            file=$DB
            [[ $line == *.bak* ]] && file=$BAK
            check_exit 3 "$(message_for "$err" "$file")"
            check_untouched
            check_opens_as "$DB" "$PW_PREV" "$REF/previous.dump"
            UNTOUCHED=$((UNTOUCHED + 1))
            failed_in_row=$((failed_in_row + 1))
            ((failed_in_row > longest)) && longest=$failed_in_row
        fi
        n=$((n + 1))
    done
    ((n <= count + 1)) || fail "$name: the save still failed after $count calls"
    printf '  %-10s at each of the %d %s calls, %-7s %d injected, longest run of failed saves %d, then saved\n' \
        "$err" "$count" "$name" "$how:" "$injections" "$longest"
    MODE_TOTAL=$((MODE_TOTAL + injections))
}

# All series of one way through the save. $1 names it, $2 is the system call
# it fails itself (or empty), the rest are its strace options.
error_mode() {
    MODE=$1
    STEERED=$2
    shift 2
    STEER=("$@")
    MODE_TOTAL=0

    reset_case
    CONTEXT="$MODE: undisturbed save"
    traced_save "$WORK/logs/calibration-$MODE" -e trace=%file,%desc "${STEER[@]}"
    check_exit 0 ""
    check_saved
    calibrate "$WORK/logs/calibration-$MODE"
    if ((BACKUP_RENAME < 0)); then
        echo "FAIL: no rename to the backup name in the save's trace"
        exit 1
    fi
    echo "$MODE: the save makes ${#SAVE_CALLS[@]} calls: ${SAVE_NAMES[*]}"

    local name err
    for name in "${SAVE_NAMES[@]}"; do
        [[ $name == "$STEERED" ]] && continue
        for err in $(errors_for "$name"); do
            error_series "$name" "$err" once
            [[ $name == write ]] || error_series "$name" "$err" lasting
        done
    done
    echo "$MODE: $MODE_TOTAL injections"
    SUMMARY+=("$MODE $MODE_TOTAL")
    TOTAL=$((TOTAL + MODE_TOTAL))
}

# The name of link on this system, from an undisturbed save.
reset_case
CONTEXT="system call names"
traced_save "$WORK/logs/names" -e trace=%file,%desc
check_exit 0 ""
check_saved
calibrate "$WORK/logs/names"
LINK=""
for name in "${SAVE_NAMES[@]}"; do
    [[ $name == link || $name == linkat ]] && LINK=$name
done
if [[ -z $LINK ]]; then
    echo "FAIL: the save's link was not found in its trace"
    exit 1
fi

error_mode link ""
error_mode copy "$LINK" -e "inject=$LINK:error=EXDEV"

if ((FAILURES)); then
    echo "io_errors: $FAILURES failures in $TOTAL injections"
    exit 1
fi
echo "io_errors: $TOTAL injections (${SUMMARY[*]}), all passed: $UNTOUCHED failed saves left" \
    "both files byte-identical, $AFTER_RENAMES failures after the renames reported with the new" \
    "content in place, $COPIED link errors saved by copying, $KEPT lasting backup rename" \
    "failures kept the previous content under a temporary name"
