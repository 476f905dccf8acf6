REM Column layout of query results: widths, wrapping, pages, NULL text and separators.
create table fmt (id number(4), name varchar2(12), note varchar2(40), amount number, born date);
insert into fmt values (1, 'Alice', 'a note long enough to wrap around', 1/3, to_date('1981-06-09', 'YYYY-MM-DD'));
insert into fmt values (2, '山田花子', null, 12345678901, null);
insert into fmt values (3, 'O''Brien', 'short', -0.5, to_date('2000-02-29', 'YYYY-MM-DD'));
set feedback off
select id, name, amount, born from fmt order by id;
set linesize 40 null (null) colsep |
select id, name, note, amount from fmt order by id;
set linesize 30 null "" colsep " " wrap off
select note from fmt order by id;
set wrap on
select note from fmt order by id;
set linesize 80 numwidth 5 pagesize 6
select id, amount from fmt order by id;
set pagesize 0
select name from fmt order by id;
set pagesize 14
column name format a5 heading 'Who'
select id, name from fmt order by id;
clear columns
set heading off
select id from fmt where id = 1;
set heading on feedback 6
select * from fmt where id > 99;
alter session set nls_date_format = 'YYYY-MM-DD HH24:MI:SS';
select born from fmt where id = 1;
drop table fmt;
exit
