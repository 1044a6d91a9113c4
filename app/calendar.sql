-- The organisation's details, the production calendar, the codes of working time and the
-- workers' absences.
--
-- Part of app/schema.sql. A database made by an earlier version of the program gets them by
-- loading this file alone (after app/closing.sql); loading it again changes nothing and keeps
-- what the administrator entered:
--   psql -v ON_ERROR_STOP=1 -d <database> -f app/calendar.sql

SET client_encoding = 'UTF8';
SET client_min_messages = warning;

------------------------------------------------------------------------------
-- The organisation's details
------------------------------------------------------------------------------

-- One row: what the printed forms put in their header and signature block.
CREATE TABLE IF NOT EXISTS accounts_dep.organisation (
    id                    smallint PRIMARY KEY DEFAULT 1 CHECK (id = 1),
    name                  varchar(254) NOT NULL DEFAULT '',
    department            varchar(254) NOT NULL DEFAULT '',
    okpo                  varchar(14) NOT NULL DEFAULT ''
                          CHECK (okpo ~ '^([0-9]{8}|[0-9]{10}|[0-9]{14})?$'),
    responsible_name      varchar(254) NOT NULL DEFAULT '',
    responsible_position  varchar(254) NOT NULL DEFAULT '',
    head_name             varchar(254) NOT NULL DEFAULT '',
    head_position         varchar(254) NOT NULL DEFAULT '',
    hr_name               varchar(254) NOT NULL DEFAULT '',
    hr_position           varchar(254) NOT NULL DEFAULT ''
);
INSERT INTO accounts_dep.organisation (id) VALUES (1) ON CONFLICT DO NOTHING;

------------------------------------------------------------------------------
-- The production calendar
------------------------------------------------------------------------------

-- A year the calendar knows. A year without a row here has Saturdays and Sundays as its
-- days off and nothing else; a year with one has those and the days of calendar_day.
CREATE TABLE IF NOT EXISTS accounts_dep.calendar_year (
    id       serial PRIMARY KEY,
    year     smallint NOT NULL UNIQUE CHECK (year BETWEEN 2000 AND 2100),
    -- Where the year's days come from ("Постановление Правительства ..." or a draft).
    source   varchar(254) NOT NULL DEFAULT ''
);

-- The days of a known year that differ from an ordinary Monday to Friday week:
--   holiday   a non-working public holiday
--   off       a day off moved onto a weekday (or another day off of the decree)
--   work      a working Saturday or Sunday (a day off moved away from it)
--   short     a working day one hour shorter, before a holiday
-- regional marks a day the administrator added for the region or the enterprise.
CREATE TABLE IF NOT EXISTS accounts_dep.calendar_day (
    id        serial PRIMARY KEY,
    day       date NOT NULL UNIQUE,
    kind      varchar(8) NOT NULL CHECK (kind IN ('holiday', 'off', 'work', 'short')),
    regional  boolean NOT NULL DEFAULT false,
    note      varchar(254) NOT NULL DEFAULT '',
    year      smallint GENERATED ALWAYS AS (extract(year FROM day)::smallint) STORED
              REFERENCES accounts_dep.calendar_year (year) ON DELETE CASCADE
);
CREATE INDEX IF NOT EXISTS calendar_day_year_idx ON accounts_dep.calendar_day (year, day);

------------------------------------------------------------------------------
-- Codes of working time and absences
------------------------------------------------------------------------------

-- The letter and digit codes of the monthly timesheet and what they mean. worked: hours of
-- work; absence: a code an absence may carry.
CREATE TABLE IF NOT EXISTS accounts_dep.time_code (
    code     varchar(4) PRIMARY KEY,
    digits   char(2) NOT NULL UNIQUE,
    caption  varchar(254) NOT NULL,
    worked   boolean NOT NULL DEFAULT false,
    absence  boolean NOT NULL DEFAULT true
);
INSERT INTO accounts_dep.time_code (code, digits, caption, worked, absence) VALUES
    ('Я',  '01', 'Продолжительность работы в дневное время', true, false),
    ('Н',  '02', 'Продолжительность работы в ночное время', true, false),
    ('РВ', '03', 'Продолжительность работы в выходные и нерабочие праздничные дни', true, false),
    ('С',  '04', 'Продолжительность сверхурочной работы', true, false),
    ('ВМ', '05', 'Продолжительность работы вахтовым методом', true, false),
    ('К',  '06', 'Служебная командировка', false, true),
    ('ПК', '07', 'Повышение квалификации с отрывом от работы', false, true),
    ('ПМ', '08', 'Повышение квалификации с отрывом от работы в другой местности', false, true),
    ('ОТ', '09', 'Ежегодный основной оплачиваемый отпуск', false, true),
    ('ОД', '10', 'Ежегодный дополнительный оплачиваемый отпуск', false, true),
    ('У',  '11', 'Дополнительный отпуск в связи с обучением с сохранением заработка', false, true),
    ('УВ', '12', 'Сокращённое рабочее время обучающихся без отрыва от производства', false, true),
    ('УД', '13', 'Дополнительный отпуск в связи с обучением без сохранения заработка', false, true),
    ('Р',  '14', 'Отпуск по беременности и родам', false, true),
    ('ОЖ', '15', 'Отпуск по уходу за ребёнком до трёх лет', false, true),
    ('ДО', '16', 'Отпуск без сохранения заработной платы с разрешения работодателя', false, true),
    ('ОЗ', '17', 'Отпуск без сохранения заработной платы по закону', false, true),
    ('ДБ', '18', 'Ежегодный дополнительный отпуск без сохранения заработной платы', false, true),
    ('Б',  '19', 'Временная нетрудоспособность с назначением пособия', false, true),
    ('Т',  '20', 'Временная нетрудоспособность без назначения пособия', false, true),
    ('ЛЧ', '21', 'Сокращённое рабочее время по закону', false, true),
    ('ПВ', '22', 'Вынужденный прогул', false, true),
    ('Г',  '23', 'Исполнение государственных или общественных обязанностей', false, true),
    ('ПР', '24', 'Прогул', false, true),
    ('НС', '25', 'Неполное рабочее время по инициативе работодателя', false, true),
    ('В',  '26', 'Выходные дни и нерабочие праздничные дни', false, false),
    ('ОВ', '27', 'Дополнительные выходные дни (оплачиваемые)', false, true),
    ('НВ', '28', 'Дополнительные выходные дни без сохранения заработной платы', false, true),
    ('ЗБ', '29', 'Забастовка', false, true),
    ('НН', '30', 'Неявка по невыясненным причинам', false, true),
    ('РП', '31', 'Время простоя по вине работодателя', false, true),
    ('НП', '32', 'Время простоя по причинам, не зависящим от сторон', false, true),
    ('ВП', '33', 'Время простоя по вине работника', false, true),
    ('НО', '34', 'Отстранение от работы с оплатой', false, true),
    ('НБ', '35', 'Отстранение от работы без оплаты', false, true),
    ('НЗ', '36', 'Время приостановки работы при задержке заработной платы', false, true)
ON CONFLICT (code) DO UPDATE
    SET digits = EXCLUDED.digits, caption = EXCLUDED.caption,
        worked = EXCLUDED.worked, absence = EXCLUDED.absence;

-- A worker's absence: the days from first to last (across month ends) under one code.
CREATE TABLE IF NOT EXISTS accounts_dep.absence (
    id      serial PRIMARY KEY,
    w_id    integer NOT NULL REFERENCES accounts_dep.person (id),
    code    varchar(4) NOT NULL REFERENCES accounts_dep.time_code (code),
    first   date NOT NULL,
    last    date NOT NULL,
    note    varchar(254) NOT NULL DEFAULT '',
    CONSTRAINT absence_days_order CHECK (last >= first),
    CONSTRAINT absence_days_span CHECK (last - first < 1100)
);
CREATE INDEX IF NOT EXISTS absence_worker_idx ON accounts_dep.absence (w_id, first);
CREATE INDEX IF NOT EXISTS absence_days_idx ON accounts_dep.absence (first, last);

-- A worker's absences never overlap: the server refuses the second with the first day
-- they share.
-- Runs as the owner, so that a login that keeps absences need not read the journals.
CREATE OR REPLACE FUNCTION accounts_dep.absence_check_overlap() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    other record;
    who text;
BEGIN
    -- Two clerks entering the same worker's absences at once see each other's rows.
    PERFORM pg_advisory_xact_lock(hashtext('absence'), NEW.w_id);
    SELECT coalesce(nullif(trim(p.fio), ''), p.id::text) INTO who
      FROM accounts_dep.person p WHERE p.id = NEW.w_id;
    SELECT a.code, greatest(a.first, NEW.first) AS day INTO other
      FROM accounts_dep.absence a
     WHERE a.w_id = NEW.w_id AND a.id <> NEW.id
       AND a.first <= NEW.last AND a.last >= NEW.first
     ORDER BY a.first LIMIT 1;
    IF FOUND THEN
        RAISE EXCEPTION USING ERRCODE = 'TBA01',
            MESSAGE = format('У работника %s уже есть неявка "%s" на %s.',
                             who, other.code, to_char(other.day, 'DD.MM.YYYY'));
    END IF;
    -- A day with hours in the journals is a day worked, not an absence.
    SELECT min(d) AS day INTO other FROM (
        SELECT min(s.data) AS d FROM accounts_dep.smena s
         WHERE s.w_id = NEW.w_id AND s.data BETWEEN NEW.first AND NEW.last AND s."time" > 0
        UNION ALL
        SELECT min(f.d_date) FROM accounts_dep.fatigue f
         WHERE f.id_p = NEW.w_id AND f.d_date BETWEEN NEW.first AND NEW.last AND f.cnt > 0) h;
    IF other.day IS NOT NULL THEN
        RAISE EXCEPTION USING ERRCODE = 'TBA02',
            MESSAGE = format('У работника %s есть часы в журнале за %s: неявка на этот день невозможна.',
                             who, to_char(other.day, 'DD.MM.YYYY'));
    END IF;
    RETURN NEW;
END
$$;

CREATE OR REPLACE TRIGGER absence_check_overlap
    BEFORE INSERT OR UPDATE ON accounts_dep.absence
    FOR EACH ROW EXECUTE FUNCTION accounts_dep.absence_check_overlap();

-- An absence in a closed month is neither entered, changed nor removed.
CREATE OR REPLACE FUNCTION accounts_dep.absence_closed_month() RETURNS trigger
LANGUAGE plpgsql AS $$
DECLARE
    m date;
BEGIN
    IF TG_OP <> 'INSERT' THEN
        FOR m IN SELECT generate_series(date_trunc('month', OLD.first), OLD.last, interval '1 month')
        LOOP
            PERFORM accounts_dep.refuse_if_closed(extract(month FROM m)::int, extract(year FROM m)::int);
        END LOOP;
    END IF;
    IF TG_OP <> 'DELETE' THEN
        FOR m IN SELECT generate_series(date_trunc('month', NEW.first), NEW.last, interval '1 month')
        LOOP
            PERFORM accounts_dep.refuse_if_closed(extract(month FROM m)::int, extract(year FROM m)::int);
        END LOOP;
        RETURN NEW;
    END IF;
    RETURN OLD;
END
$$;

CREATE OR REPLACE TRIGGER absence_closed_month
    BEFORE INSERT OR UPDATE OR DELETE ON accounts_dep.absence
    FOR EACH ROW EXECUTE FUNCTION accounts_dep.absence_closed_month();

------------------------------------------------------------------------------
-- History of the administrator's changes (app/closing.sql)
------------------------------------------------------------------------------

CREATE OR REPLACE TRIGGER organisation_history
    AFTER INSERT OR UPDATE OR DELETE ON accounts_dep.organisation
    FOR EACH ROW EXECUTE FUNCTION accounts_dep.log_change();
CREATE OR REPLACE TRIGGER calendar_year_history
    AFTER INSERT OR UPDATE OR DELETE ON accounts_dep.calendar_year
    FOR EACH ROW EXECUTE FUNCTION accounts_dep.log_change();
CREATE OR REPLACE TRIGGER calendar_day_history
    AFTER INSERT OR UPDATE OR DELETE ON accounts_dep.calendar_day
    FOR EACH ROW EXECUTE FUNCTION accounts_dep.log_change();
CREATE OR REPLACE TRIGGER absence_history
    AFTER INSERT OR UPDATE OR DELETE ON accounts_dep.absence
    FOR EACH ROW EXECUTE FUNCTION accounts_dep.log_change();

------------------------------------------------------------------------------
-- 2026 from the government's decree
------------------------------------------------------------------------------

-- Loaded once: a year the administrator has already entered or corrected stays his.
DO $$
BEGIN
    IF NOT EXISTS (SELECT 1 FROM accounts_dep.calendar_year WHERE year = 2026) THEN
        INSERT INTO accounts_dep.calendar_year (year, source)
        VALUES (2026, 'Постановление Правительства РФ о переносе выходных дней в 2026 году');
        INSERT INTO accounts_dep.calendar_day (day, kind, note) VALUES
            ('2026-01-01', 'holiday', 'Новогодние каникулы'),
            ('2026-01-02', 'holiday', 'Новогодние каникулы'),
            ('2026-01-03', 'holiday', 'Новогодние каникулы'),
            ('2026-01-04', 'holiday', 'Новогодние каникулы'),
            ('2026-01-05', 'holiday', 'Новогодние каникулы'),
            ('2026-01-06', 'holiday', 'Новогодние каникулы'),
            ('2026-01-07', 'holiday', 'Рождество Христово'),
            ('2026-01-08', 'holiday', 'Новогодние каникулы'),
            ('2026-01-09', 'off', 'Перенос с 3 января'),
            ('2026-02-23', 'holiday', 'День защитника Отечества'),
            ('2026-03-08', 'holiday', 'Международный женский день'),
            ('2026-03-09', 'off', 'Перенос с 8 марта'),
            ('2026-04-30', 'short', 'Предпраздничный день'),
            ('2026-05-01', 'holiday', 'Праздник Весны и Труда'),
            ('2026-05-08', 'short', 'Предпраздничный день'),
            ('2026-05-09', 'holiday', 'День Победы'),
            ('2026-05-11', 'off', 'Перенос с 9 мая'),
            ('2026-06-11', 'short', 'Предпраздничный день'),
            ('2026-06-12', 'holiday', 'День России'),
            ('2026-11-03', 'short', 'Предпраздничный день'),
            ('2026-11-04', 'holiday', 'День народного единства'),
            ('2026-12-31', 'off', 'Перенос с 4 января');
    END IF;
END
$$;
