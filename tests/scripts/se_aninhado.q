* Um SE falso pula um SE completo aninhado até o seu próprio SENÃO.
se "a" = "b"
  escreve "nunca 1"
  se "c" = "c"
    escreve "nunca 2"
  senão
    escreve "nunca 3"
  fim se
  escreve "nunca 4"
Senão
  escreve "senão externo"
fim   se
* Um SE de uma linha dentro do bloco falso não conta como abertura.
se 1 = 2
  se 1 = 1 escreve "nunca 5"
  se 1 = 1
    escreve "nunca 6"
  fim se
fim se
escreve "depois dos blocos falsos"
* SENÃO não conta aninhamento: o SE dentro da parte SENÃO termina essa parte
* no seu FIM SE quando a condição de fora era verdadeira.
se "a" = "A"
  escreve "externo verdadeiro"
senão
  se "b" = "b"
    escreve "nunca 7"
  fim se
  escreve "resto da parte senão"
fim se
* Um bloco falso sem FIM SE termina o script normalmente.
se 1 = 2
  escreve "nunca 8"
