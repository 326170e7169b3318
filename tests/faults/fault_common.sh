# shellcheck shell=bash
# Shared by the fault tests (sourced, not run): the fixtures, one save run
# under strace with injected faults, and the checks of the files it leaves.
#
# The save under test is "lockleaf create DB --from new.json", which replaces
# an existing database: the folder starts with the previous content at DB and
# an older content at DB.bak, each under its own password, so every file the
# save may leave is recognisable byte for byte or by the password that opens
# it. Faults are counted per system call from the first call of the save (the
# creation of its temporary file), so "the N-th write" means the N-th write of
# the save, whatever the program start did before.

LOCKLEAF=$1
DATA=$2
BUILD_KIND=${3:-}

PW_OLDER="older-pass"
PW_PREV="previous-pass"
PW_NEW="new-pass"

FAILURES=0

skip_unless_strace_works() {
    # A sanitizer's runtime makes system calls of its own during the save
    # (pipes to probe memory, maps at random addresses), which would take
    # the injected faults and differ from run to run.
    if [[ $BUILD_KIND == sanitized ]]; then
        echo "SKIP: a sanitizer build cannot be fault-injected by system call"
        exit 77
    fi
    if ! command -v strace >/dev/null 2>&1; then
        echo "SKIP: strace is not installed"
        exit 77
    fi
    if ! strace -f -q -o /dev/null -e trace=getpid -e inject=getpid:retval=1 true >/dev/null 2>&1; then
        echo "SKIP: strace cannot trace or inject here (ptrace not permitted?)"
        exit 77
    fi
}

fail() {
    FAILURES=$((FAILURES + 1))
    echo "FAIL [$CONTEXT]: $*"
}

# Runs lockleaf with the password lines in $1; output in $WORK/out, $WORK/err.
lockleaf_with() {
    local passwords=$1
    shift
    printf '%s\n' "$passwords" >"$WORK/pw"
    "$LOCKLEAF" "$@" --password-stdin <"$WORK/pw" >"$WORK/out" 2>"$WORK/err"
}

setup_fixtures() {
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/lockleaf-faults.XXXXXX")
    trap 'rm -rf "$WORK"' EXIT
    REF=$WORK/ref
    CASE=$WORK/case
    DB=$CASE/notes.nte
    BAK=$DB.bak
    mkdir -p "$REF" "$WORK/logs"
    local name pw
    for name in older previous new; do
        case $name in
        older) pw=$PW_OLDER ;;
        previous) pw=$PW_PREV ;;
        new) pw=$PW_NEW ;;
        esac
        lockleaf_with "$pw" create "$REF/$name.nte" --from "$DATA/$name.json" ||
            { echo "cannot create the $name fixture: $(cat "$WORK/err")"; exit 1; }
        lockleaf_with "$pw" dump "$REF/$name.nte" ||
            { echo "cannot dump the $name fixture: $(cat "$WORK/err")"; exit 1; }
        cp "$WORK/out" "$REF/$name.dump"
    done
    # A mode other than the default shows that the save keeps the file's mode.
    chmod 0640 "$REF/previous.nte"
    if cmp -s "$REF/older.dump" "$REF/previous.dump" || cmp -s "$REF/previous.dump" "$REF/new.dump"; then
        echo "the fixtures must differ"
        exit 1
    fi
    printf '%s\n' "$PW_NEW" >"$WORK/newpw"
}

reset_case() {
    rm -rf "$CASE"
    mkdir "$CASE"
    cp -p "$REF/previous.nte" "$DB"
    cp -p "$REF/older.nte" "$BAK"
}

# More options for strace; --seccomp-bpf (only the traced calls stop the
# process) makes runs faster but keeps strace 6.1 from injecting signals.
STRACE_OPTIONS=()

# One save under strace. $1 is the trace log; the rest are strace options
# (the traced set and the injections). Sets RC; lockleaf's output is in
# $WORK/out and $WORK/err.
traced_save() {
    local log=$1
    shift
    # The subshell waits for strace itself (no exec), so the shell's notice
    # of a killed process goes to /dev/null.
    (
        strace -f -q -y -s 0 "${STRACE_OPTIONS[@]}" -o "$log" "$@" \
            "$LOCKLEAF" create "$DB" --from "$DATA/new.json" --password-stdin \
            <"$WORK/newpw" >"$WORK/out" 2>"$WORK/err"
        exit $?
    ) 2>/dev/null
    RC=$?
}

# A strace line without its process id, result, random temporary name and
# folder names, so that the same call compares equal across runs (a call
# killed on entry shows only its input arguments: compare with same_call).
signature_of() {
    local line=${1//"$WORK"\//}
    sed -E 's/^[0-9]+ +//; s/\.lockleaf-save-[A-Za-z0-9]{6}/.lockleaf-save-XXXXXX/g; s/AT_FDCWD<[^>]*>/AT_FDCWD/g
            s/(pipe|socket):\[[0-9]+\]/\1:[]/g; s/ += [^=]*$//; s/,? *<unfinished \.\.\.>\)$//' <<<"$line"
}

# The part of a signature that names the call: without the arguments from
# the first buffer or structure on, which a failed or killed call shows
# differently from a finished one.
call_key() {
    sed -E 's/, *(""|0x|\{).*$//; s/\)$//' <<<"$1"
}

# Whether the disturbed call with signature $1 is the call $2 of the
# undisturbed save (a killed call may show fewer arguments).
same_call() {
    local disturbed undisturbed
    disturbed=$(call_key "$1")
    undisturbed=$(call_key "$2")
    [[ $undisturbed == "$disturbed"* ]]
}

# Reads the log of an undisturbed save: SAVE_CALLS holds the signatures of the
# save's calls in order, SAVE_CALL_NAMES their system call names, SAVE_NAMES
# those names each once in order of first use, OFFSET[name] how many calls of
# that name the program made before the save, and BACKUP_RENAME the index in
# SAVE_CALLS of the rename that puts the previous content at DB.bak.
calibrate() {
    local log=$1 line name started=0
    SAVE_CALLS=()
    SAVE_CALL_NAMES=()
    SAVE_NAMES=()
    BACKUP_RENAME=-1
    declare -gA OFFSET=()
    declare -A seen=()
    while IFS= read -r line; do
        [[ $line =~ ^[0-9]+\ +([a-z0-9_]+)\( ]] || continue
        name=${BASH_REMATCH[1]}
        if ((!started)) && [[ $line == *.lockleaf-save-* ]]; then
            started=1
        fi
        if ((!started)); then
            OFFSET[$name]=$((${OFFSET[$name]:-0} + 1))
            continue
        fi
        if [[ $name == rename* && $line == *'.bak"'* ]] && ((BACKUP_RENAME < 0)); then
            BACKUP_RENAME=${#SAVE_CALLS[@]}
        fi
        SAVE_CALLS+=("$(signature_of "$line")")
        SAVE_CALL_NAMES+=("$name")
        if [[ -z ${seen[$name]:-} ]]; then
            seen[$name]=1
            SAVE_NAMES+=("$name")
        fi
        : "${OFFSET[$name]:=0}"
    done <"$log"
    if ((${#SAVE_CALLS[@]} == 0)); then
        echo "no save found in the calibration trace $log"
        exit 1
    fi
}

# The index in SAVE_CALLS of the n-th call named $1, or -1.
save_call_index() {
    local name=$1 n=$2 i count=0
    for i in "${!SAVE_CALL_NAMES[@]}"; do
        if [[ ${SAVE_CALL_NAMES[$i]} == "$name" ]]; then
            count=$((count + 1))
            if ((count == n)); then
                echo "$i"
                return
            fi
        fi
    done
    echo -1
}

save_call_count() {
    local name=$1 other count=0
    for other in "${SAVE_CALL_NAMES[@]}"; do
        [[ $other == "$name" ]] && count=$((count + 1))
    done
    echo "$count"
}

# Sets STRAYS to the temporary files left in the case folder; fails on any
# other unexpected name.
find_strays() {
    local f
    STRAYS=()
    for f in "$CASE"/.[!.]* "$CASE"/*; do
        [[ -e $f ]] || continue
        case ${f##*/} in
        notes.nte | notes.nte.bak) ;;
        .lockleaf-save-*) STRAYS+=("${f##*/}") ;;
        *) fail "unexpected file ${f##*/} in the database's folder" ;;
        esac
    done
}

# Checks that the file $1 opens with password $2 and dumps exactly $3.
check_opens_as() {
    local file=$1 pw=$2 expected=$3
    if ! lockleaf_with "$pw" dump "$file"; then
        fail "${file##*/} does not open with its password: $(cat "$WORK/err")"
        return 1
    fi
    if ! cmp -s "$WORK/out" "$expected"; then
        fail "${file##*/} opens but its content differs from ${expected##*/}"
        return 1
    fi
}

# Sets DB_STATE to the complete content the database's name holds:
# "previous" (byte for byte, and it opens as such) or "new" (it opens with the
# new password and dumps the new content); else fails and sets "broken".
find_db_state() {
    DB_STATE=broken
    if cmp -s "$DB" "$REF/previous.nte"; then
        check_opens_as "$DB" "$PW_PREV" "$REF/previous.dump" && DB_STATE=previous
    elif [[ ! -e $DB ]]; then
        fail "the database's name is gone"
    elif lockleaf_with "$PW_NEW" dump "$DB" && cmp -s "$WORK/out" "$REF/new.dump"; then
        DB_STATE=new
    else
        fail "the database's name holds neither the previous nor the new content"
    fi
}

# Sets BAK_STATE to the complete earlier content the backup holds: "older"
# or "previous", each byte for byte and opening as such; else "broken".
find_bak_state() {
    BAK_STATE=broken
    if cmp -s "$BAK" "$REF/older.nte"; then
        check_opens_as "$BAK" "$PW_OLDER" "$REF/older.dump" && BAK_STATE=older
    elif cmp -s "$BAK" "$REF/previous.nte"; then
        check_opens_as "$BAK" "$PW_PREV" "$REF/previous.dump" && BAK_STATE=previous
    else
        fail "the backup holds neither the older nor the previous content"
    fi
}

file_mode() {
    stat -c %a "$1"
}

# The state of a finished save: the new content at DB with the previous file's
# mode, the previous content at DB.bak, no temporary file.
check_saved() {
    find_db_state
    [[ $DB_STATE == new ]] || fail "the new content is not at the database's name"
    cmp -s "$BAK" "$REF/previous.nte" || fail "the backup is not the previous content byte for byte"
    [[ $(file_mode "$DB") == "$(file_mode "$REF/previous.nte")" ]] ||
        fail "the saved file has mode $(file_mode "$DB"), not the previous file's"
    find_strays
    ((${#STRAYS[@]} == 0)) || fail "temporary files left: ${STRAYS[*]}"
}

# The state of a failed save: both files byte-identical to before, no
# temporary file.
check_untouched() {
    cmp -s "$DB" "$REF/previous.nte" || fail "the database changed"
    cmp -s "$BAK" "$REF/older.nte" || fail "the backup changed"
    [[ $(file_mode "$DB") == "$(file_mode "$REF/previous.nte")" ]] || fail "the database's mode changed"
    find_strays
    ((${#STRAYS[@]} == 0)) || fail "temporary files left: ${STRAYS[*]}"
}

# The standard one-line message for errno name $1 about file $2.
message_for() {
    local err=$1 file=$2
    case $err in
    ENOSPC | EDQUOT) echo "Disk full while accessing $file." ;;
    EIO) echo "A hardware I/O error was reported while accessing $file." ;;
    EACCES | EPERM) echo "Access to $file was denied." ;;
    EBUSY) echo "A sharing violation occurred while accessing $file." ;;
    EMFILE) echo "$file could not be opened because there are too many open files." ;;
    *) echo "An unexpected error occurred while accessing $file." ;;
    esac
}

check_exit() {
    local rc=$1 message=$2
    [[ $RC == "$rc" ]] || fail "exit status $RC, expected $rc (stderr: $(head -c 300 "$WORK/err"))"
    if [[ -z $message ]]; then
        [[ ! -s $WORK/err ]] || fail "unexpected stderr: $(head -c 300 "$WORK/err")"
    else
        printf '%s\n' "$message" | cmp -s - "$WORK/err" ||
            fail "stderr is '$(head -c 300 "$WORK/err")', expected '$message'"
    fi
    [[ ! -s $WORK/out ]] || fail "unexpected stdout: $(head -c 300 "$WORK/out")"
}

# The line of the call the process was killed at, in a run's log.
killed_line() {
    grep -E "^[0-9]+ +$2\(" "$1" | tail -n 1
}
