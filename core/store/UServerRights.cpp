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
