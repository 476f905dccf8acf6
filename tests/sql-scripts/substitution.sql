REM Substitution variables: DEFINE, &&, the verify lines, another prefix and DEFINE OFF.
define table_name = dual
define who = "World Wide"
select '&who' as greeting from &table_name;
select '&&once' as first, '&once' as again from dual;
set verify off
select '&who.s' as plural from dual;
set define ^
select '^who & friends' as t from dual;
set define off
select 'R&D' as dept from dual;
set define on
undefine who
define who
exit
