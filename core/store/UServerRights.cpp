// Rights the server enforces itself. Benches connect as members of the database's bench role
// (<database>_bench): they read and write the data, append to the journal but never change or remove
// an entry, and reach accounts and passwords only through the functions below, which check the
// caller's account on the server. A bench never reads a password hash: it asks for the hash's
// parameters and salt, computes the Argon2id hash of what was typed with them and hands that in; the
// server compares it with the one it keeps, counts failures, slows them down and locks a code out.
#include "UServerRights.h"

#include <cstdio>
#include <cstring>
#include <sodium.h>

#include "UServerStore.h"
#include "UTexts.h"

namespace {

// A step is one text; each function in it is written in full, dollar-quoted.
constexpr const char* TablesAndGrants = R"SQL(
CREATE TABLE sign_in_failure(key text PRIMARY KEY, failures integer NOT NULL DEFAULT 0,
  locked_until timestamptz);
CREATE TABLE sign_in_session(token text PRIMARY KEY,
  code text NOT NULL REFERENCES account ON DELETE CASCADE ON UPDATE CASCADE,
  started timestamptz NOT NULL DEFAULT now());
CREATE TABLE server_key(id integer PRIMARY KEY CHECK(id = 1), key bytea NOT NULL);
INSERT INTO server_key VALUES(1, uuid_send(gen_random_uuid()) || uuid_send(gen_random_uuid()));

-- What the bench role may do, given again by the database owner after its ownership moved
-- (SELECT varnholt_grant_bench()).
CREATE FUNCTION varnholt_grant_bench() RETURNS text LANGUAGE plpgsql AS $$
DECLARE r text := current_database() || '_bench';
BEGIN
  -- A database its benches' role owns (as set up before): its rights cannot be narrowed until the
  -- tables belong to an owner of their own.
  IF r = current_user OR EXISTS (SELECT 1 FROM pg_tables WHERE schemaname = 'public' AND
                                 tablename = 'account' AND tableowner = r) THEN
    RAISE NOTICE 'the role % owns the database: the benches keep every right', r;
    RETURN r;
  END IF;
  IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = r) THEN
    BEGIN
      EXECUTE format('CREATE ROLE %I NOLOGIN', r);
    EXCEPTION WHEN duplicate_object OR unique_violation THEN NULL;
    END;
  END IF;
  EXECUTE format('GRANT CONNECT, TEMPORARY ON DATABASE %I TO %I', current_database(), r);
  EXECUTE format('GRANT USAGE ON SCHEMA public TO %I', r);
  EXECUTE format('GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO %I', r);
  EXECUTE format('GRANT USAGE, SELECT, UPDATE ON ALL SEQUENCES IN SCHEMA public TO %I', r);
  EXECUTE format('REVOKE ALL ON account, operator_password, journal, journal_head, schema_part, '
                 'sign_in_failure, sign_in_session, server_key FROM %I', r);
  EXECUTE format('GRANT SELECT (code, name, role, changed_at) ON account TO %I', r);
  EXECUTE format('GRANT SELECT (code) ON operator_password TO %I', r);
  EXECUTE format('GRANT SELECT, INSERT ON journal TO %I', r);
  EXECUTE format('GRANT SELECT ON journal_head, schema_part TO %I', r);
  -- Tables later steps make are the bench's to read and write as the others are.
  EXECUTE format('ALTER DEFAULT PRIVILEGES IN SCHEMA public GRANT SELECT, INSERT, UPDATE, DELETE ON '
                 'TABLES TO %I', r);
  EXECUTE format('ALTER DEFAULT PRIVILEGES IN SCHEMA public GRANT USAGE, SELECT, UPDATE ON SEQUENCES TO %I', r);
  EXECUTE format('GRANT EXECUTE ON FUNCTION varnholt_journal_head(), varnholt_password_setting(text, boolean), '
    'varnholt_sign_in(text, text), varnholt_operator_password_is(text, text), '
    'varnholt_set_account(text, text, text, text, text), varnholt_remove_account(text, text), '
    'varnholt_set_operator_password(text, text, text) TO %I', r);
  RETURN r;
END $$;
REVOKE ALL ON FUNCTION varnholt_grant_bench() FROM PUBLIC;
)SQL";

constexpr const char* JournalFunctions = R"SQL(
-- The head's row, locked until the transaction ends: it orders every bench's entries in one chain.
-- Removed by hand, it is rebuilt from the last entry there.
CREATE FUNCTION varnholt_journal_head(OUT head_last bigint, OUT head_hash text, OUT rebuilt boolean)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
  rebuilt := false;
  SELECT h.last, h.hash INTO head_last, head_hash FROM journal_head h WHERE h.id = 1 FOR UPDATE;
  IF NOT FOUND THEN
    INSERT INTO journal_head SELECT 1, coalesce(max(j.id), 0),
      coalesce((SELECT k.hash FROM journal k ORDER BY k.id DESC LIMIT 1), repeat('0', 64))
      FROM journal j ON CONFLICT(id) DO NOTHING;
    SELECT h.last, h.hash INTO head_last, head_hash FROM journal_head h WHERE h.id = 1 FOR UPDATE;
    rebuilt := true;
  END IF;
END $$;

-- Every entry is appended after the last one; the head follows it.
CREATE FUNCTION varnholt_journal_appended() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE head_last bigint;
BEGIN
  SELECT h.last INTO head_last FROM journal_head h WHERE h.id = 1 FOR UPDATE;
  IF FOUND THEN
    IF NEW.id <= head_last THEN
      RAISE EXCEPTION 'journal entry % is not after the last one written (%)', NEW.id, head_last
        USING ERRCODE = '42501';
    END IF;
    UPDATE journal_head SET last = NEW.id, hash = NEW.hash WHERE id = 1;
  END IF;
  RETURN NULL;
END $$;
CREATE TRIGGER journal_appended AFTER INSERT ON journal FOR EACH ROW
  EXECUTE FUNCTION varnholt_journal_appended();

-- An entry the server itself writes, chained as the program chains its own.
CREATE FUNCTION varnholt_journal_add(p_operator text, p_kind text, p_after text) RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE
  h record;
  n bigint;
  tu text := to_char(now() AT TIME ZONE 'UTC', 'YYYY-MM-DD"T"HH24:MI:SS"Z"');
  tl text := to_char(now(), 'YYYY-MM-DD HH24:MI:SS TZH:TZM');
  chained text := '';
  f text;
BEGIN
  SELECT * INTO h FROM varnholt_journal_head();
  n := h.head_last + 1;
  FOREACH f IN ARRAY ARRAY[h.head_hash, n::text, tu, tl, p_operator, p_kind, '', '0', '', '', p_after, '']
  LOOP
    chained := chained || octet_length(f)::text || ':' || f;
  END LOOP;
  INSERT INTO journal(id, time_utc, time_local, operator, kind, analyte, level, point, before, after,
    reason, hash)
  VALUES(n, tu, tl, p_operator, p_kind, '', 0, '', '', p_after, '',
    encode(sha256(convert_to(chained, 'UTF8')), 'hex'));
END $$;
REVOKE ALL ON FUNCTION varnholt_journal_add(text, text, text) FROM PUBLIC;
)SQL";

constexpr const char* PasswordFunctions = R"SQL(
-- Failures are counted under a keyed hash of the code: a password typed into the code field is never
-- kept.
CREATE FUNCTION varnholt_failure_key(p_code text) RETURNS text
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS $$
  SELECT encode(sha256(k.key || convert_to(p_code, 'UTF8')), 'hex') FROM server_key k WHERE k.id = 1
$$;
REVOKE ALL ON FUNCTION varnholt_failure_key(text) FROM PUBLIC;

-- The Argon2id hash kept for a code (an account's sign-in, else an operator's own password).
CREATE FUNCTION varnholt_kept_hash(p_code text, p_operator boolean) RETURNS text
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS $$
  SELECT h FROM (
    SELECT a.password_hash AS h, 1 AS o FROM account a
      WHERE (NOT p_operator AND a.code = p_code) OR (p_operator AND upper(a.code) = upper(p_code))
    UNION ALL
    SELECT p.hash, 2 FROM operator_password p WHERE p_operator AND p.code = upper(p_code)) x
  ORDER BY o LIMIT 1
$$;
REVOKE ALL ON FUNCTION varnholt_kept_hash(text, boolean) FROM PUBLIC;

-- What a bench needs to compute the hash: everything but the hash itself. An unknown code gets
-- parameters and a salt of the same form, always the same for that code.
CREATE FUNCTION varnholt_password_setting(p_code text, p_operator boolean) RETURNS text
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE h text := varnholt_kept_hash(p_code, p_operator);
BEGIN
  IF h IS NOT NULL AND h ~ '^\$argon2id\$[^$]*\$[^$]*\$[^$]*\$[^$]*$' THEN
    RETURN substring(h FROM '^(.*)\$[^$]*$');
  END IF;
  RETURN '$argon2id$v=19$m=65536,t=2,p=1$' || rtrim(encode(substr(sha256(
    (SELECT k.key FROM server_key k WHERE k.id = 1) || convert_to('salt ' || upper(p_code), 'UTF8')),
    1, 16), 'base64'), '=');
END $$;

-- A wrong password: counted, answered after a delay that doubles with each failure in a row, and
-- after five the code is locked out for 15 minutes (journaled when it is an account's or operator's).
CREATE FUNCTION varnholt_password_failed(p_key text, p_code text, p_known boolean) RETURNS text
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE n integer;
BEGIN
  UPDATE sign_in_failure SET failures = failures + 1 WHERE key = p_key RETURNING failures INTO n;
  PERFORM pg_sleep(least(0.1 * power(2, n - 1), 2.0));
  IF n < 5 THEN
    RETURN 'refused';
  END IF;
  UPDATE sign_in_failure SET failures = 0, locked_until = now() + interval '15 minutes' WHERE key = p_key;
  IF p_known THEN
    PERFORM varnholt_journal_add('server', 'sign-in refused',
      p_code || ' locked out for 15 minutes after 5 wrong passwords in a row');
  END IF;
  RETURN 'locked';
END $$;
REVOKE ALL ON FUNCTION varnholt_password_failed(text, text, boolean) FROM PUBLIC;

-- Compares the hash a bench computed with the one kept: 'ok', 'refused', 'locked', or 'none' when
-- no password is kept for an operator (p_operator).
CREATE FUNCTION varnholt_password_check(p_code text, p_proof text, p_operator boolean) RETURNS text
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE
  k text := varnholt_failure_key(CASE WHEN p_operator THEN 'operator ' || upper(p_code) ELSE p_code END);
  h text := varnholt_kept_hash(p_code, p_operator);
  f record;
BEGIN
  IF p_operator AND h IS NULL THEN
    RETURN 'none';
  END IF;
  INSERT INTO sign_in_failure(key) VALUES(k) ON CONFLICT(key) DO NOTHING;
  SELECT * INTO f FROM sign_in_failure s WHERE s.key = k FOR UPDATE;
  IF f.locked_until > now() THEN
    RETURN 'locked';
  END IF;
  -- Digests compared, so that the time taken tells nothing of how much of the hash was right.
  IF h IS NOT NULL AND sha256(convert_to(h, 'UTF8')) = sha256(convert_to(coalesce(p_proof, ''), 'UTF8')) THEN
    UPDATE sign_in_failure SET failures = 0, locked_until = NULL WHERE key = k;
    RETURN 'ok';
  END IF;
  RETURN varnholt_password_failed(k, p_code, h IS NOT NULL);
END $$;
REVOKE ALL ON FUNCTION varnholt_password_check(text, text, boolean) FROM PUBLIC;

-- Sign-in: on success a session token the account's later changes are made with.
CREATE FUNCTION varnholt_sign_in(p_code text, p_proof text, OUT outcome text, OUT name text, OUT role text,
  OUT token text)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
  outcome := varnholt_password_check(p_code, p_proof, false);
  IF outcome <> 'ok' THEN
    RETURN;
  END IF;
  token := encode(uuid_send(gen_random_uuid()) || uuid_send(gen_random_uuid()), 'hex');
  INSERT INTO sign_in_session(token, code) VALUES(encode(sha256(decode(token, 'hex')), 'hex'), p_code);
  SELECT a.name, a.role INTO name, role FROM account a WHERE a.code = p_code;
END $$;

CREATE FUNCTION varnholt_operator_password_is(p_code text, p_proof text) RETURNS text
LANGUAGE sql SECURITY DEFINER SET search_path = public, pg_temp AS $$
  SELECT varnholt_password_check(p_code, p_proof, true)
$$;

-- The account a session token belongs to, with its role as it is now.
CREATE FUNCTION varnholt_caller_role(p_token text) RETURNS text
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS $$
  SELECT a.role FROM sign_in_session s JOIN account a ON a.code = s.code
   WHERE p_token ~ '^[0-9a-f]{64}$' AND s.token = encode(sha256(decode(p_token, 'hex')), 'hex')
$$;
REVOKE ALL ON FUNCTION varnholt_caller_role(text) FROM PUBLIC;

CREATE FUNCTION varnholt_require_supervisor(p_token text) RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
  IF EXISTS (SELECT 1 FROM account) AND coalesce(varnholt_caller_role(p_token), '') <> 'supervisor' THEN
    RAISE EXCEPTION 'only a supervisor signed in may change the accounts and passwords'
      USING ERRCODE = '42501';
  END IF;
END $$;
REVOKE ALL ON FUNCTION varnholt_require_supervisor(text) FROM PUBLIC;

-- An account made or changed (an empty hash keeps the former password).
CREATE FUNCTION varnholt_set_account(p_token text, p_code text, p_name text, p_role text, p_hash text)
RETURNS void LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE had text;
BEGIN
  PERFORM varnholt_require_supervisor(p_token);
  IF NOT EXISTS (SELECT 1 FROM account) AND p_role <> 'supervisor' THEN
    RAISE EXCEPTION 'the first account must be a supervisor''s' USING ERRCODE = '42501';
  END IF;
  IF p_hash <> '' AND p_hash !~ '^\$argon2id\$' THEN
    RAISE EXCEPTION 'a password is kept as an Argon2id hash' USING ERRCODE = '22023';
  END IF;
  SELECT a.role INTO had FROM account a WHERE a.code = p_code FOR UPDATE;
  IF had IS NULL AND p_hash = '' THEN
    RAISE EXCEPTION 'a new account needs a password' USING ERRCODE = '22023';
  END IF;
  IF had = 'supervisor' AND p_role <> 'supervisor'
     AND (SELECT count(*) FROM account WHERE role = 'supervisor') = 1 THEN
    RAISE EXCEPTION 'the last supervisor''s account cannot lose its rights' USING ERRCODE = '42501';
  END IF;
  INSERT INTO account(code, name, role, password_hash) VALUES(p_code, p_name, p_role, p_hash)
  ON CONFLICT(code) DO UPDATE SET name = p_name, role = p_role, changed_at = now(),
    password_hash = CASE WHEN p_hash = '' THEN account.password_hash ELSE p_hash END;
END $$;

-- False when there was no such account.
CREATE FUNCTION varnholt_remove_account(p_token text, p_code text) RETURNS boolean
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE was text;
BEGIN
  PERFORM varnholt_require_supervisor(p_token);
  DELETE FROM account WHERE code = p_code RETURNING role INTO was;
  IF was IS NULL THEN
    RETURN false;
  END IF;
  IF was = 'supervisor' AND NOT EXISTS (SELECT 1 FROM account WHERE role = 'supervisor') THEN
    RAISE EXCEPTION 'the last supervisor''s account cannot be removed' USING ERRCODE = '42501';
  END IF;
  RETURN true;
END $$;

-- An operator's own password (an empty hash removes it).
CREATE FUNCTION varnholt_set_operator_password(p_token text, p_code text, p_hash text) RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
  PERFORM varnholt_require_supervisor(p_token);
  IF p_hash = '' THEN
    DELETE FROM operator_password WHERE code = p_code;
  ELSIF p_hash !~ '^\$argon2id\$' THEN
    RAISE EXCEPTION 'a password is kept as an Argon2id hash' USING ERRCODE = '22023';
  ELSE
    INSERT INTO operator_password(code, hash) VALUES(p_code, p_hash)
    ON CONFLICT(code) DO UPDATE SET hash = p_hash;
  END IF;
END $$;
)SQL";

// Granted last, once every function is there.
constexpr const char* Grants = "SELECT varnholt_grant_bench();";

// The program password as an Argon2id hash, under the marker the settings' password field holds.
constexpr const char* ProgramPassword = R"SQL(
CREATE TABLE program_password(marker text PRIMARY KEY, hash text NOT NULL);
DO $$ BEGIN
  IF current_database() || '_bench' <> current_user AND NOT EXISTS (SELECT 1 FROM pg_tables WHERE
     schemaname = 'public' AND tablename = 'account' AND tableowner = current_database() || '_bench') THEN
    EXECUTE format('REVOKE ALL ON program_password FROM %I', current_database() || '_bench');
  END IF;
END $$;

CREATE FUNCTION varnholt_program_password_setting(p_marker text) RETURNS text
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS $$
  SELECT coalesce((SELECT substring(p.hash FROM '^(.*)\$[^$]*$') FROM program_password p
                    WHERE p.marker = p_marker), varnholt_password_setting('', true))
$$;

CREATE FUNCTION varnholt_program_password_is(p_marker text, p_proof text) RETURNS boolean
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE
  k text := varnholt_failure_key('program password');
  h text := (SELECT p.hash FROM program_password p WHERE p.marker = p_marker);
  f record;
BEGIN
  INSERT INTO sign_in_failure(key) VALUES(k) ON CONFLICT(key) DO NOTHING;
  SELECT * INTO f FROM sign_in_failure s WHERE s.key = k FOR UPDATE;
  IF f.locked_until > now() THEN
    RETURN false;
  END IF;
  IF h IS NOT NULL AND sha256(convert_to(h, 'UTF8')) = sha256(convert_to(coalesce(p_proof, ''), 'UTF8')) THEN
    UPDATE sign_in_failure SET failures = 0, locked_until = NULL WHERE key = k;
    RETURN true;
  END IF;
  PERFORM varnholt_password_failed(k, 'the program password', false);
  RETURN false;
END $$;

-- The one kept: set (a marker and its hash), or none (an empty marker). A password still kept in
-- clear in the settings may be replaced by its hash by any bench; any other change is a supervisor's.
CREATE FUNCTION varnholt_put_program_password(p_token text, p_marker text, p_hash text, p_clear text)
RETURNS void LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
  IF p_clear IS NULL OR p_clear = '' OR
     NOT EXISTS (SELECT 1 FROM settings WHERE id = 1 AND password = p_clear) THEN
    PERFORM varnholt_require_supervisor(p_token);
  END IF;
  IF p_marker <> '' AND p_hash !~ '^\$argon2id\$' THEN
    RAISE EXCEPTION 'a password is kept as an Argon2id hash' USING ERRCODE = '22023';
  END IF;
  DELETE FROM program_password WHERE marker <> p_marker OR p_marker = '';
  IF p_marker <> '' THEN
    INSERT INTO program_password VALUES(p_marker, p_hash) ON CONFLICT(marker) DO UPDATE SET hash = p_hash;
  END IF;
END $$;

DO $$ BEGIN
  EXECUTE format('GRANT EXECUTE ON FUNCTION varnholt_program_password_setting(text), '
    'varnholt_program_password_is(text, text), varnholt_put_program_password(text, text, text, text) TO %I',
    current_database() || '_bench');
EXCEPTION WHEN undefined_object THEN NULL;
END $$;
)SQL";

// The data a bench changes only as the account signed in on it, with the journal entry of the change
// in the same transaction. The program names its session for each transaction (varnholt.session);
// triggers refuse a change by a bench role with no session, one beyond the account's role, and at
// commit one that appended nothing to the journal. The database's owner is not held to them.
constexpr const char* WriteChecks = R"SQL(
CREATE TABLE change_due(xact xid8 NOT NULL, tab text NOT NULL, PRIMARY KEY(xact, tab));

-- A bench role's change (not the owner's, nor a superuser's, nor one of a database the benches'
-- role owns).
CREATE FUNCTION varnholt_bench_change_of(p_table oid) RETURNS boolean
LANGUAGE sql STABLE SET search_path = public, pg_temp AS $$
  SELECT coalesce(pg_has_role(current_user, (SELECT r.oid FROM pg_roles r
                                              WHERE r.rolname = current_database() || '_bench'), 'MEMBER'), false)
     AND NOT pg_has_role(current_user, (SELECT c.relowner FROM pg_class c WHERE c.oid = p_table), 'MEMBER')
$$;

-- The role of the account whose session the transaction names: 'supervisor' where there are no
-- accounts yet, NULL with no valid session.
CREATE FUNCTION varnholt_change_role() RETURNS text
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS $$
  SELECT CASE WHEN NOT EXISTS (SELECT 1 FROM account) THEN 'supervisor'
              ELSE varnholt_caller_role(coalesce(current_setting('varnholt.session', true), '')) END
$$;

CREATE FUNCTION varnholt_change_due(p_table text) RETURNS void
LANGUAGE sql SECURITY DEFINER SET search_path = public, pg_temp AS $$
  INSERT INTO change_due VALUES(pg_current_xact_id(), p_table) ON CONFLICT DO NOTHING
$$;

-- At commit: the head of the journal moved in this transaction, that is an entry was appended.
CREATE FUNCTION varnholt_change_journaled() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
  DELETE FROM change_due WHERE xact = NEW.xact AND tab = NEW.tab;
  IF NOT EXISTS (SELECT 1 FROM journal_head h WHERE h.id = 1 AND h.xmin = pg_current_xact_id()::xid) THEN
    RAISE EXCEPTION 'a change of % is stored only with its journal entry', NEW.tab USING ERRCODE = '42501';
  END IF;
  RETURN NULL;
END $$;
CREATE CONSTRAINT TRIGGER change_journaled AFTER INSERT ON change_due DEFERRABLE INITIALLY DEFERRED
  FOR EACH ROW EXECUTE FUNCTION varnholt_change_journaled();

-- Each statement of a bench: a session needed, the operations in TG_ARGV[0] a supervisor's.
CREATE FUNCTION varnholt_bench_statement() RETURNS trigger
LANGUAGE plpgsql SET search_path = public, pg_temp AS $$
DECLARE who text;
BEGIN
  IF NOT varnholt_bench_change_of(TG_RELID) THEN
    RETURN NULL;
  END IF;
  who := varnholt_change_role();
  -- Without a session: runs held, the inbox's own records, and a password kept in clear hashed in
  -- the settings (the row's check), as the program lets any bench.
  IF who IS NULL AND TG_TABLE_NAME NOT IN ('inbox_run', 'inbox_setting', 'settings') AND
     NOT (TG_TABLE_NAME = 'queue_entry' AND TG_OP = 'INSERT') THEN
    RAISE EXCEPTION 'only an account signed in may change %', TG_TABLE_NAME USING ERRCODE = '42501';
  END IF;
  IF who <> 'supervisor' AND (TG_OP = 'TRUNCATE' OR TG_OP = ANY (string_to_array(TG_ARGV[0], ' '))) THEN
    RAISE EXCEPTION 'only a supervisor may % %', lower(TG_OP), TG_TABLE_NAME USING ERRCODE = '42501';
  END IF;
  RETURN NULL;
END $$;

-- Rows a bench's statement changed: their journal entry is due at commit.
CREATE FUNCTION varnholt_bench_changed() RETURNS trigger
LANGUAGE plpgsql SET search_path = public, pg_temp AS $$
BEGIN
  IF varnholt_bench_change_of(TG_RELID) AND EXISTS (SELECT 1 FROM changed) THEN
    PERFORM varnholt_change_due(TG_TABLE_NAME);
  END IF;
  RETURN NULL;
END $$;

-- A row a technologist changes only so far: an analyte's runs entered (its definition and fixed
-- limits kept), points moved to make room, the backup's date and a password kept in clear hashed in
-- the settings, a bench's own inbox folder and window. A signed review is only ever reopened, once.
CREATE FUNCTION varnholt_bench_row() RETURNS trigger
LANGUAGE plpgsql SET search_path = public, pg_temp AS $$
DECLARE
  ok boolean := true;
  k integer;
BEGIN
  IF NOT varnholt_bench_change_of(TG_RELID) THEN
    RETURN NEW;
  END IF;
  IF TG_TABLE_NAME = 'review' THEN
    IF OLD.reopened_utc <> '' OR NEW.reopened_utc = '' OR
       (OLD.id, OLD.analyte, OLD.first_day, OLD.last_day, OLD.reviewer, OLD.signed_utc, OLD.signed_local)
         IS DISTINCT FROM
       (NEW.id, NEW.analyte, NEW.first_day, NEW.last_day, NEW.reviewer, NEW.signed_utc, NEW.signed_local) THEN
      RAISE EXCEPTION 'a signed review is only reopened, with a reason' USING ERRCODE = '42501';
    END IF;
    RETURN NEW;
  END IF;
  IF coalesce(varnholt_change_role(), '') = 'supervisor' THEN
    RETURN NEW;
  END IF;
  IF TG_TABLE_NAME = 'analyte' THEN
    ok := (OLD.name, OLD.unit, OLD.decimals, OLD.material1, OLD.material2, OLD.material3, OLD.mode1,
           OLD.mode2, OLD.mode3, OLD.options, OLD.archive_numbers)
          IS NOT DISTINCT FROM
          (NEW.name, NEW.unit, NEW.decimals, NEW.material1, NEW.material2, NEW.material3, NEW.mode1,
           NEW.mode2, NEW.mode3, NEW.options, NEW.archive_numbers)
          AND NEW.nb_levels >= OLD.nb_levels AND NEW.id = OLD.id;
    FOR k IN 0..2 LOOP
      IF (ARRAY[OLD.mode1, OLD.mode2, OLD.mode3])[k + 1] = 2 AND
         substring(OLD.limits FROM 30 * k + 1 FOR 30) IS DISTINCT FROM substring(NEW.limits FROM 30 * k + 1 FOR 30) THEN
        ok := false;
      END IF;
    END LOOP;
  ELSIF TG_TABLE_NAME = 'point' THEN
    ok := false;
  ELSIF TG_OP = 'INSERT' AND TG_TABLE_NAME = 'settings' THEN
    -- Where the row is there already, the update it becomes is checked.
    ok := true;
  ELSIF TG_TABLE_NAME = 'settings' THEN
    ok :=
          (OLD.show_about, OLD.colour_print, OLD.backup_drive, OLD.backup_interval, OLD.alert_row,
           OLD.action_row, OLD.signature, OLD.backup_folder, OLD.display_size, OLD.id)
          IS NOT DISTINCT FROM
          (NEW.show_about, NEW.colour_print, NEW.backup_drive, NEW.backup_interval, NEW.alert_row,
           NEW.action_row, NEW.signature, NEW.backup_folder, NEW.display_size, NEW.id)
          AND (NEW.password = OLD.password OR
               (OLD.password <> '' AND left(OLD.password, 1) <> chr(1) AND left(NEW.password, 1) = chr(1)));
  ELSIF TG_TABLE_NAME = 'inbox_setting' THEN
    ok := CASE WHEN TG_OP = 'UPDATE' THEN NEW.auto_accept = OLD.auto_accept
               ELSE NOT NEW.auto_accept OR EXISTS (SELECT 1 FROM inbox_setting s WHERE s.station = NEW.station) END;
  END IF;
  IF NOT ok THEN
    RAISE EXCEPTION 'only a supervisor may change % so', TG_TABLE_NAME USING ERRCODE = '42501';
  END IF;
  RETURN NEW;
END $$;

-- Per table: what only a supervisor does, and what is stored only with its journal entry (held runs
-- leave the queue, archives go and a first settings row comes in transactions of their own).
DO $$
DECLARE
  t text[];
  e text;
BEGIN
  FOREACH t SLICE 1 IN ARRAY ARRAY[
      ['analyte', 'DELETE', 'INSERT UPDATE DELETE'], ['point', 'DELETE', 'INSERT UPDATE DELETE'],
      ['comment', 'UPDATE DELETE', 'INSERT UPDATE DELETE'],
      ['material', 'INSERT UPDATE DELETE', 'INSERT UPDATE DELETE'], ['archive', 'UPDATE DELETE', ''],
      ['queue_entry', '', 'DELETE'], ['settings', '', 'UPDATE DELETE'],
      ['operator_name', 'INSERT UPDATE DELETE', 'INSERT UPDATE DELETE'],
      ['goal', 'INSERT UPDATE DELETE', 'INSERT UPDATE DELETE'],
      ['rule_set', 'INSERT UPDATE DELETE', 'INSERT UPDATE DELETE'],
      ['corrective_action', 'INSERT UPDATE DELETE', 'INSERT UPDATE DELETE'],
      ['review', 'DELETE', 'INSERT UPDATE DELETE'], ['inbox_setting', '', ''],
      ['inbox_source', 'INSERT UPDATE DELETE', ''], ['inbox_map', 'INSERT UPDATE DELETE', ''],
      ['inbox_run', 'DELETE', '']] LOOP
    EXECUTE format('CREATE TRIGGER bench_statement BEFORE INSERT OR UPDATE OR DELETE OR TRUNCATE ON %I '
                   'FOR EACH STATEMENT EXECUTE FUNCTION varnholt_bench_statement(%L)', t[1], t[2]);
    FOREACH e IN ARRAY string_to_array(t[3], ' ') LOOP
      EXECUTE format('CREATE TRIGGER bench_%s AFTER %s ON %I REFERENCING %s TABLE AS changed '
                     'FOR EACH STATEMENT EXECUTE FUNCTION varnholt_bench_changed()', lower(e), e, t[1],
                     CASE e WHEN 'DELETE' THEN 'OLD' ELSE 'NEW' END);
    END LOOP;
  END LOOP;
END $$;
CREATE TRIGGER bench_row BEFORE UPDATE ON analyte FOR EACH ROW EXECUTE FUNCTION varnholt_bench_row();
CREATE TRIGGER bench_row BEFORE UPDATE ON point FOR EACH ROW
  WHEN ((OLD.analyte, OLD.at, OLD.v1, OLD.s1, OLD.v2, OLD.s2, OLD.v3, OLD.s3, OLD.comment_id, OLD.operator,
         OLD.added) IS DISTINCT FROM
        (NEW.analyte, NEW.at, NEW.v1, NEW.s1, NEW.v2, NEW.s2, NEW.v3, NEW.s3, NEW.comment_id, NEW.operator,
         NEW.added))
  EXECUTE FUNCTION varnholt_bench_row();
CREATE TRIGGER bench_row BEFORE INSERT OR UPDATE ON settings FOR EACH ROW EXECUTE FUNCTION varnholt_bench_row();
CREATE TRIGGER bench_row BEFORE UPDATE ON review FOR EACH ROW EXECUTE FUNCTION varnholt_bench_row();
CREATE TRIGGER bench_row BEFORE INSERT OR UPDATE ON inbox_setting FOR EACH ROW
  EXECUTE FUNCTION varnholt_bench_row();
)SQL";

// What the bench role may do, as before but for the bookkeeping of these checks, which is the
// server's own, and the signed reviews, which no bench removes.
constexpr const char* WriteGrants = R"SQL(
CREATE OR REPLACE FUNCTION varnholt_grant_bench() RETURNS text LANGUAGE plpgsql AS $$
DECLARE r text := current_database() || '_bench';
BEGIN
  IF r = current_user OR EXISTS (SELECT 1 FROM pg_tables WHERE schemaname = 'public' AND
                                 tablename = 'account' AND tableowner = r) THEN
    RAISE NOTICE 'the role % owns the database: the benches keep every right', r;
    RETURN r;
  END IF;
  IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = r) THEN
    BEGIN
      EXECUTE format('CREATE ROLE %I NOLOGIN', r);
    EXCEPTION WHEN duplicate_object OR unique_violation THEN NULL;
    END;
  END IF;
  EXECUTE format('GRANT CONNECT, TEMPORARY ON DATABASE %I TO %I', current_database(), r);
  EXECUTE format('GRANT USAGE ON SCHEMA public TO %I', r);
  EXECUTE format('GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO %I', r);
  EXECUTE format('GRANT USAGE, SELECT, UPDATE ON ALL SEQUENCES IN SCHEMA public TO %I', r);
  EXECUTE format('REVOKE ALL ON account, operator_password, journal, journal_head, schema_part, '
                 'sign_in_failure, sign_in_session, server_key, program_password, change_due FROM %I', r);
  EXECUTE format('REVOKE DELETE ON review FROM %I', r);
  EXECUTE format('GRANT SELECT (code, name, role, changed_at) ON account TO %I', r);
  EXECUTE format('GRANT SELECT (code) ON operator_password TO %I', r);
  EXECUTE format('GRANT SELECT, INSERT ON journal TO %I', r);
  EXECUTE format('GRANT SELECT ON journal_head, schema_part TO %I', r);
  EXECUTE format('ALTER DEFAULT PRIVILEGES IN SCHEMA public GRANT SELECT, INSERT, UPDATE, DELETE ON '
                 'TABLES TO %I', r);
  EXECUTE format('ALTER DEFAULT PRIVILEGES IN SCHEMA public GRANT USAGE, SELECT, UPDATE ON SEQUENCES TO %I', r);
  EXECUTE format('GRANT EXECUTE ON FUNCTION varnholt_journal_head(), varnholt_password_setting(text, boolean), '
    'varnholt_sign_in(text, text), varnholt_operator_password_is(text, text), '
    'varnholt_set_account(text, text, text, text, text), varnholt_remove_account(text, text), '
    'varnholt_set_operator_password(text, text, text), varnholt_program_password_setting(text), '
    'varnholt_program_password_is(text, text), varnholt_put_program_password(text, text, text, text) TO %I', r);
  RETURN r;
END $$;
REVOKE ALL ON FUNCTION varnholt_grant_bench() FROM PUBLIC;
SELECT varnholt_grant_bench();
)SQL";

// Peer statistics and EQA results are recorded by any account signed in, each row with its journal
// entry; only a supervisor changes or removes one. Names are kept beside their keys (upper case, as the
// program compares them): a row is kept once.
constexpr const char* Assessment = R"SQL(
ALTER TABLE goal ADD COLUMN bias_from text NOT NULL DEFAULT 'target'
  CHECK(bias_from IN ('target', 'peer', 'eqa'));
CREATE TABLE peer_stat(id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
  analyte_key text NOT NULL, analyte text NOT NULL, material_key text NOT NULL, material text NOT NULL,
  lot_key text NOT NULL, lot text NOT NULL, level integer NOT NULL CHECK(level BETWEEN 1 AND 3),
  month text NOT NULL CHECK(month ~ '^[0-9]{4}-(0[1-9]|1[0-2])$'), mean double precision NOT NULL,
  sd double precision NOT NULL CHECK(sd > 0), n integer NOT NULL CHECK(n >= 2),
  labs integer NOT NULL CHECK(labs >= 1), recorded_at timestamptz NOT NULL DEFAULT now(),
  UNIQUE(analyte_key, material_key, lot_key, level, month));
CREATE TABLE eqa_result(id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
  scheme_key text NOT NULL, scheme text NOT NULL, distribution_key text NOT NULL,
  distribution text NOT NULL, sample_key text NOT NULL, sample text NOT NULL,
  day double precision NOT NULL, analyte_key text NOT NULL, analyte text NOT NULL,
  result double precision NOT NULL, assigned double precision NOT NULL,
  sd double precision NOT NULL CHECK(sd > 0), participants integer NOT NULL CHECK(participants >= 1),
  recorded_at timestamptz NOT NULL DEFAULT now(),
  UNIQUE(scheme_key, distribution_key, sample_key, analyte_key));
CREATE INDEX eqa_result_analyte ON eqa_result(analyte_key, day);
DO $$
DECLARE
  t text;
  e text;
BEGIN
  FOREACH t IN ARRAY ARRAY['peer_stat', 'eqa_result'] LOOP
    EXECUTE format('CREATE TRIGGER bench_statement BEFORE INSERT OR UPDATE OR DELETE OR TRUNCATE ON %I '
                   'FOR EACH STATEMENT EXECUTE FUNCTION varnholt_bench_statement(%L)', t, 'UPDATE DELETE');
    FOREACH e IN ARRAY ARRAY['INSERT', 'UPDATE', 'DELETE'] LOOP
      EXECUTE format('CREATE TRIGGER bench_%s AFTER %s ON %I REFERENCING %s TABLE AS changed '
                     'FOR EACH STATEMENT EXECUTE FUNCTION varnholt_bench_changed()', lower(e), e, t,
                     CASE e WHEN 'DELETE' THEN 'OLD' ELSE 'NEW' END);
    END LOOP;
  END LOOP;
END $$;
SELECT varnholt_grant_bench();
)SQL";

std::string Base64(const unsigned char* bytes, size_t n) {
    std::string out(sodium_base64_ENCODED_LEN(n, sodium_base64_VARIANT_ORIGINAL_NO_PADDING), '\0');
    sodium_bin2base64(out.data(), out.size(), bytes, n, sodium_base64_VARIANT_ORIGINAL_NO_PADDING);
    out.resize(std::strlen(out.c_str()));
    return out;
}

} // namespace

const TServerSchemaPart& ServerRightsPart() {
    static const TServerSchemaPart part{
        "rights", {TablesAndGrants, JournalFunctions, PasswordFunctions, Grants, ProgramPassword}};
    return part;
}

const TServerSchemaPart& ServerWriteChecksPart() {
    static const TServerSchemaPart part{"bench writes", {WriteChecks, WriteGrants}};
    return part;
}

const TServerSchemaPart& ServerAssessmentPart() {
    static const TServerSchemaPart part{"assessment", {Assessment}};
    return part;
}

bool IsProgramPasswordMarker(std::string_view field) {
    return field.size() == 9 && field[0] == '\x01';
}

std::string NewProgramPasswordMarker() {
    unsigned char bytes[4];
    randombytes_buf(bytes, sizeof bytes);
    static const char* digits = "0123456789ABCDEF";
    std::string marker(1, '\x01');
    for (unsigned char b : bytes) {
        marker += digits[b >> 4];
        marker += digits[b & 15];
    }
    return marker;
}

std::optional<std::string> Argon2idWithSetting(const std::string& setting, const std::string& password) {
    // $argon2id$v=19$m=KIB,t=OPS,p=1$SALT
    unsigned long version = 0, memory = 0, ops = 0, lanes = 0;
    char salt64[80] = {};
    if (std::sscanf(setting.c_str(), "$argon2id$v=%lu$m=%lu,t=%lu,p=%lu$%79[A-Za-z0-9+/]", &version, &memory,
                    &ops, &lanes, salt64) != 5 ||
        version != 19 || lanes != 1 || memory < 8 || memory > (1ul << 22) || ops < 1 || ops > 64)
        return std::nullopt;
    if (sodium_init() < 0) return std::nullopt;
    unsigned char salt[crypto_pwhash_SALTBYTES];
    size_t saltSize = 0;
    if (sodium_base642bin(salt, sizeof salt, salt64, std::strlen(salt64), nullptr, &saltSize, nullptr,
                          sodium_base64_VARIANT_ORIGINAL_NO_PADDING) != 0 ||
        saltSize != sizeof salt)
        return std::nullopt;
    unsigned char hash[32];
    if (crypto_pwhash(hash, sizeof hash, password.data(), password.size(), salt, ops, size_t{memory} * 1024,
                      crypto_pwhash_ALG_ARGON2ID13) != 0)
        throw EQcError(QT_TRANSLATE_NOOP("Core", "Not enough memory to protect the password"));
    return setting + "$" + Base64(hash, sizeof hash);
}
